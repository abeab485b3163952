#pragma once

#include <array>
#include <cstdint>

// What the block dump learns about each place, keyed by linear address.
enum MarkBit : std::uint8_t {
  MARK_DUMPED = 0x80,  // a block's own address: the block has been dumped
  MARK_FIRST = 0x08,   // the first string written for a block, for the region pass
  MARK_TARGET = 0x02,  // a string start that some block's offset table points at
};

struct MarkMap {
  static constexpr int kSize = 0x1000000;  // 16 MiB: every bank and address

  // Zero-initialised; a multi-megabyte store belongs in static storage, where the
  // zeroing is free and untouched pages cost nothing.
  std::array<std::uint8_t, kSize> marks{};

  // A linear address outside the map holds no mark and keeps none.
  void set(int linear, std::uint8_t bits) {
    if (linear >= 0 && linear < kSize) marks[linear] |= bits;
  }
  bool test(int linear, std::uint8_t bits) const {
    return linear >= 0 && linear < kSize && (marks[linear] & bits) != 0;
  }
};
