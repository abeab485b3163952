#pragma once

#include "dump/dump_context.h"

// Dumps the file block at (bank, address) once per run: a table of 16-bit offsets, the
// first also the table's size, followed by the strings they point at. The first string
// is written as a comment, every line of it, and marked for the region pass; each other
// string gets the commands that rewrite the offset-table entry numbered by its place among
// the strings written. `index` is the block's entry number in the file index (0 for the
// fixed list); the footer and the progress line show twice its value. False if the image
// could not be read there: the block then writes nothing.
bool dump_layer2(DumpContext& ctx, int bank, int address, int index);
