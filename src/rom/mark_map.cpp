#include "rom/mark_map.h"

#include <algorithm>
#include <bit>

bool MarkMap::List::holds(int linear) const {
  return std::binary_search(at.begin(), at.begin() + count, linear);
}

void MarkMap::List::add(int linear) {
  const auto place = std::lower_bound(at.begin(), at.begin() + count, linear);
  if (count == kBlockMarks || (place != at.begin() + count && *place == linear)) return;
  std::copy_backward(place, at.begin() + count, at.begin() + count + 1);
  *place = linear;
  ++count;
}

int MarkMap::List::first_in(int from, int end) const {
  const auto found = std::lower_bound(at.begin(), at.begin() + count, from);
  return found != at.begin() + count && *found < end ? *found : end;
}

int MarkMap::next_target(int from, int end) const {
  const int stop = std::min(end, kSize);
  for (int at = std::max(from, 0); at < stop;) {
    const std::uint16_t chunk = chunk_of_[directory_index(at)];
    if (chunk == 0) {
      at = (at / kChunkAddresses + 1) * kChunkAddresses;
      continue;
    }
    const std::uint64_t rest = word(chunk, at) >> (at % 64);
    if (rest != 0) return std::min(at + std::countr_zero(rest), end);
    at = (at / 64 + 1) * 64;
  }
  return end;
}

int MarkMap::find_next(int from, int end, MarkBit bit) const {
  switch (bit) {
    case MARK_TARGET:
      return next_target(from, end);
    case MARK_DUMPED:
      return dumped_.first_in(from, end);
    case MARK_FIRST:
      return first_.first_in(from, end);
  }
  return end;
}

long MarkMap::count_marked() const {
  long count = 0;
  for (int chunk = 0; chunk < chunks_used_; ++chunk)
    for (std::uint64_t bits : chunks_[chunk]) count += std::popcount(bits);
  // Dumped and first marks on addresses not counted yet.
  for (int i = 0; i < first_.count; ++i)
    if (!test(first_.at[i], MARK_TARGET)) ++count;
  for (int i = 0; i < dumped_.count; ++i)
    if (!test(dumped_.at[i], MARK_TARGET | MARK_FIRST)) ++count;
  return count;
}
