#pragma once

#include "dump/dump_context.h"

// The whole dump after the header: every block the image's file index names, the fixed
// block list, then the region sections. Blocks named more than once are dumped once,
// under their first index number.
void run_dump_plan(DumpContext& ctx);
