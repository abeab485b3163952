#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

// What the block dumps learn about each place, keyed by linear address, for themselves and
// for the region pass: which blocks were dumped (a block's own address), which places some
// offset table points at (string starts), and the first string written for each block.
//
// The marks of all 16 Mi linear addresses. The first touch of a page is the dearest step of
// a whole dump (10-16 µs on a virtual machine), so the marks are kept on as few pages as
// they can be:
// - A block dump sets at most one dumped and one first mark, and a run dumps at most
//   kBlockMarks blocks, so those two kinds are short lists that share a page.
// - String starts are many and lie close together, a bit per address. A plain bit plane
//   would still give every bank that holds text a page of its own, mostly empty. So the bits
//   of each 512 addresses are a 64-byte chunk, and chunks are handed out in the order the
//   dump first marks them: the chunks in use lie side by side, a page holding 64 of them.
class MarkMap {
 public:
  static constexpr int kSize = 0x1000000;  // every bank and address
  static constexpr int kBlockMarks = 320;  // dumped or first marks of each kind

  // Forgets every mark, for another walk of the dump plan in the same run: the map is all zero
  // when empty.
  void clear() { std::memset(static_cast<void*>(this), 0, sizeof *this); }

  // A linear address outside the map holds no mark and keeps none. A dumped or first mark
  // beyond kBlockMarks of its kind is not kept.
  void mark_dumped(int linear) {
    if (inside(linear)) dumped_.add(linear);
  }
  bool was_dumped(int linear) const { return inside(linear) && dumped_.holds(linear); }

  void mark_target(int linear) {
    if (!inside(linear)) return;
    std::uint16_t& chunk = chunk_of_[directory_index(linear)];
    if (chunk == 0) chunk = static_cast<std::uint16_t>(++chunks_used_);
    chunks_[chunk - 1][word_in_chunk(linear)] |= bit(linear);
  }
  bool is_target(int linear) const {
    if (!inside(linear)) return false;
    const std::uint16_t chunk = chunk_of_[directory_index(linear)];
    return chunk != 0 && (chunks_[chunk - 1][word_in_chunk(linear)] & bit(linear)) != 0;
  }

  void mark_first(int linear) {
    if (inside(linear)) first_.add(linear);
  }
  // The first linear address in [from, end) marked as a block's first string, or `end`.
  int next_first(int from, int end) const { return first_.first_in(from, end); }

 private:
  static constexpr int kChunkAddresses = 512;
  static constexpr int kChunks = kSize / kChunkAddresses;
  using Chunk = std::array<std::uint64_t, kChunkAddresses / 64>;

  static bool inside(int linear) { return linear >= 0 && linear < kSize; }
  static std::uint64_t bit(int linear) { return std::uint64_t{1} << (linear % 64); }
  // Where a chunk's number lies in the directory: the upper halves of all banks (addresses
  // 0x8000-0xFFFF, where blocks lie) come first and side by side, the lower halves (reached
  // only by strings that run past a bank's end) after them. A dense image's entries then
  // fill half the pages that bank order would spread them over.
  static std::size_t directory_index(int linear) {
    const auto at = static_cast<std::size_t>(linear);
    return (at >> 15 & 1 ? 0 : kChunks / 2) | (at >> 16) << 6 | (at & 0x7FFF) / kChunkAddresses;
  }
  static int word_in_chunk(int linear) { return linear % kChunkAddresses / 64; }

  // Marked addresses in ascending order, each once.
  struct List {
    std::array<int, kBlockMarks> at;
    int count;

    bool holds(int linear) const;
    void add(int linear);
    int first_in(int from, int end) const;
  };

  // All zero when empty: the map belongs in zeroed storage (a ZeroedStore, or
  // value-initialised), where untouched pages cost nothing; so its arrays have no initializer,
  // which would clear every page.
  List dumped_;
  List first_;
  int chunks_used_ = 0;
  // For each 512 addresses the number of its chunk, counted from 1; 0 while none is marked.
  std::array<std::uint16_t, kChunks> chunk_of_;
  std::array<Chunk, kChunks> chunks_;
  static_assert(kChunks <= std::numeric_limits<std::uint16_t>::max());
};

static_assert(std::is_trivially_copyable_v<MarkMap>, "cleared byte for byte");
