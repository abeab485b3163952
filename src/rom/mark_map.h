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

// A mark byte for each of the 16 Mi linear addresses, stored as bits: for every 64
// addresses one word per mark kind, the three words side by side. A block's marks then lie
// together in a few hundred bytes, where a byte per address would spread them over eight
// times the pages; and the first touch of a page is the dearest step of a whole dump
// (10-16 µs on a virtual machine).
class MarkMap {
 public:
  static constexpr int kSize = 0x1000000;  // every bank and address

  // A linear address outside the map holds no mark and keeps none.
  void set(int linear, std::uint8_t bits) {
    if (linear < 0 || linear >= kSize) return;
    Group& group = groups_[static_cast<std::size_t>(linear) / 64];
    const std::uint64_t bit = std::uint64_t{1} << (linear % 64);
    if (bits & MARK_DUMPED) group.dumped |= bit;
    if (bits & MARK_FIRST) group.first |= bit;
    if (bits & MARK_TARGET) group.target |= bit;
  }
  // True if `linear` carries any of `bits`.
  bool test(int linear, std::uint8_t bits) const {
    if (linear < 0 || linear >= kSize) return false;
    const Group& group = groups_[static_cast<std::size_t>(linear) / 64];
    const std::uint64_t bit = std::uint64_t{1} << (linear % 64);
    return (((bits & MARK_DUMPED) ? group.dumped : 0) | ((bits & MARK_FIRST) ? group.first : 0) |
            ((bits & MARK_TARGET) ? group.target : 0)) &
           bit;
  }
  // The first linear address in [from, end) that carries `bit`, or `end` if none does.
  int find_next(int from, int end, MarkBit bit) const;
  // How many addresses carry a mark of any kind.
  long count_marked() const;

 private:
  struct Group {
    std::uint64_t dumped;
    std::uint64_t first;
    std::uint64_t target;
  };
  std::uint64_t word(std::size_t group, MarkBit bit) const {
    const Group& g = groups_[group];
    return bit == MARK_DUMPED ? g.dumped : bit == MARK_FIRST ? g.first : g.target;
  }

  // Zero-initialised; the map belongs in static storage, where the zeroing is free and
  // untouched pages cost nothing.
  std::array<Group, kSize / 64> groups_{};
};
