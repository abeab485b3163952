#pragma once

#include "dump/dump_context.h"

// Writes the region section of one bank: a jump into its free-space range, then every
// string in the window from (bank, address) that a block dump marked as its block's first
// string, each with a #W16 command that points it at its own image offset. Run it after
// all block dumps: it finds only their marks. `free_start` and `free_end` are image
// offsets and only printed. False if the image could not be read there: the section is
// then not written.
bool dump_region(DumpContext& ctx, int bank, int address, int free_start, int free_end);
