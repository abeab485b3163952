#include "rom/mark_map.h"

#include <algorithm>
#include <bit>

int MarkMap::find_next(int from, int end, MarkBit bit) const {
  const Plane& plane = plane_of(bit);
  const int stop = std::min(end, kSize);
  for (int at = std::max(from, 0); at < stop; at = (at / 64 + 1) * 64) {
    const std::uint64_t rest = plane[static_cast<std::size_t>(at) / 64] >> (at % 64);
    if (rest != 0) return std::min(at + std::countr_zero(rest), end);
  }
  return end;
}

long MarkMap::count_marked() const {
  long count = 0;
  for (std::size_t word = 0; word < dumped_.size(); ++word) {
    count += std::popcount(dumped_[word] | first_[word] | target_[word]);
  }
  return count;
}
