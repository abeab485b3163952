#pragma once

#include <cstdint>
#include <vector>

// A 4 MiB image for timing the dump: every file index entry names its own well-formed block,
// the strings use every byte class of the text encoding, and blocks lie in the region banks
// too, so every pass of the dump has work.
struct DenseImage {
  std::vector<std::uint8_t> bytes;
  // Image offsets of the window loads a dump performs, in its order: the index, the indexed
  // blocks, the fixed blocks, the regions.
  std::vector<long> window_loads;
  int blocks = 0;
  int strings = 0;
  int region_strings = 0;  // first strings of blocks in region banks: written a second time
};

// `density` multiplies the strings of each block (1, 2, 4, ...) as far as the block's room
// allows; the number of blocks stays the same.
DenseImage make_dense_image(int density);
