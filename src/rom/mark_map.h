#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// What the block dump learns about each place, keyed by linear address.
enum MarkBit : std::uint8_t {
  MARK_DUMPED = 0x80,  // a block's own address: the block has been dumped
  MARK_FIRST = 0x08,   // the first string written for a block, for the region pass
  MARK_TARGET = 0x02,  // a string start that some block's offset table points at
};

// A mark byte for each of the 16 Mi linear addresses, kept as one plane of bits per mark
// kind: the marks of 32 KiB of text share a page of a plane, where a byte per address would
// spread them over eight. The first touch of a page is the dearest step of a whole dump
// (10-16 µs on a virtual machine), so fewer pages make a faster dump.
class MarkMap {
 public:
  static constexpr int kSize = 0x1000000;  // every bank and address

  // A linear address outside the map holds no mark and keeps none.
  void set(int linear, std::uint8_t bits) {
    if (linear < 0 || linear >= kSize) return;
    if (bits & MARK_DUMPED) set_bit(dumped_, linear);
    if (bits & MARK_FIRST) set_bit(first_, linear);
    if (bits & MARK_TARGET) set_bit(target_, linear);
  }
  // True if `linear` carries any of `bits`.
  bool test(int linear, std::uint8_t bits) const {
    if (linear < 0 || linear >= kSize) return false;
    return ((bits & MARK_DUMPED) && test_bit(dumped_, linear)) ||
           ((bits & MARK_FIRST) && test_bit(first_, linear)) ||
           ((bits & MARK_TARGET) && test_bit(target_, linear));
  }
  // The first linear address in [from, end) that carries `bit`, or `end` if none does.
  int find_next(int from, int end, MarkBit bit) const;
  // How many addresses carry a mark of any kind.
  long count_marked() const;

 private:
  // Zero-initialised; the map belongs in static storage, where the zeroing is free and
  // untouched pages cost nothing.
  using Plane = std::array<std::uint64_t, kSize / 64>;

  static void set_bit(Plane& plane, int linear) {
    plane[static_cast<std::size_t>(linear) / 64] |= std::uint64_t{1} << (linear % 64);
  }
  const Plane& plane_of(MarkBit bit) const {
    return bit == MARK_DUMPED ? dumped_ : bit == MARK_FIRST ? first_ : target_;
  }
  static bool test_bit(const Plane& plane, int linear) {
    return (plane[static_cast<std::size_t>(linear) / 64] >> (linear % 64) & 1) != 0;
  }

  Plane dumped_{};
  Plane first_{};
  Plane target_{};
};
