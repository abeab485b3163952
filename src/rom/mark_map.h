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

// The marks of all 16 Mi linear addresses. String starts are many and dense, so they are a
// bit plane, a bit per address. A block dump sets at most one dumped and one first mark, and
// a run dumps at most kBlockMarks blocks, so those two kinds are short lists that share a
// page. The first touch of a page is the dearest step of a whole dump (10-16 µs on a virtual
// machine), and a dense image's string starts alone fill a page per bank.
class MarkMap {
 public:
  static constexpr int kSize = 0x1000000;  // every bank and address
  static constexpr int kBlockMarks = 320;  // dumped or first marks of each kind

  // A linear address outside the map holds no mark and keeps none. A dumped or first mark
  // beyond kBlockMarks of its kind is not kept.
  void set(int linear, std::uint8_t bits) {
    if (linear < 0 || linear >= kSize) return;
    if (bits & MARK_TARGET) targets_[index(linear)] |= bit(linear);
    if (bits & MARK_DUMPED) dumped_.add(linear);
    if (bits & MARK_FIRST) first_.add(linear);
  }
  // True if `linear` carries any of `bits`.
  bool test(int linear, std::uint8_t bits) const {
    if (linear < 0 || linear >= kSize) return false;
    return ((bits & MARK_TARGET) && (targets_[index(linear)] & bit(linear)) != 0) ||
           ((bits & MARK_DUMPED) && dumped_.holds(linear)) ||
           ((bits & MARK_FIRST) && first_.holds(linear));
  }
  // The first linear address in [from, end) that carries `bit`, or `end` if none does.
  int find_next(int from, int end, MarkBit bit) const;
  // How many addresses carry a mark of any kind.
  long count_marked() const;

 private:
  static std::size_t index(int linear) { return static_cast<std::size_t>(linear) / 64; }
  static std::uint64_t bit(int linear) { return std::uint64_t{1} << (linear % 64); }

  // Addresses in the order they were marked, each once.
  struct List {
    std::array<int, kBlockMarks> at;
    int count;

    bool holds(int linear) const {
      for (int i = 0; i < count; ++i)
        if (at[i] == linear) return true;
      return false;
    }
    void add(int linear) {
      if (count < kBlockMarks && !holds(linear)) at[count++] = linear;
    }
    int first_in(int from, int end) const;
  };

  int next_target(int from, int end) const;

  // Zero-initialised; the map belongs in static storage, where the zeroing is free and
  // untouched pages cost nothing.
  List dumped_{};
  List first_{};
  std::array<std::uint64_t, kSize / 64> targets_{};
};
