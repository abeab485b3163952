#pragma once

#include "dump/dump_context.h"

// The whole dump after the header: every block the image's file index names, the fixed
// block list, then the region sections. Blocks named more than once are dumped once,
// under their first index number. False as soon as a read of the image fails: the dump
// stops there, part-way through the script.
bool run_dump_plan(DumpContext& ctx);
