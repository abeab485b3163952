#pragma once

#include <cstdio>

#include "dump/dump_context.h"

// What a walk of the dump plan came to.
struct StringWalk {
  bool image_read;  // false if a read of the image failed: the walk stopped there
  int blocks;       // block sections the dump would write
};

// Walks the dump plan over `image` as DUMP_TEXT does, with the same renderings, and hands
// every string it would write to `receiver`, in the script's order. Writes neither a script
// nor a console line. `marks` must be fresh: a block is dumped once per set of marks.
StringWalk walk_strings(std::FILE* image, RomWindow& window, MarkMap& marks,
                        const TokenRenderings& renderings, StringReceiver& receiver);
