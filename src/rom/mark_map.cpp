#include "rom/mark_map.h"

#include <algorithm>
#include <bit>

int MarkMap::find_next(int from, int end, MarkBit bit) const {
  const int stop = std::min(end, kSize);
  for (int at = std::max(from, 0); at < stop; at = (at / 64 + 1) * 64) {
    const std::uint64_t rest = word(static_cast<std::size_t>(at) / 64, bit) >> (at % 64);
    if (rest != 0) return std::min(at + std::countr_zero(rest), end);
  }
  return end;
}

long MarkMap::count_marked() const {
  long count = 0;
  for (const Group& group : groups_)
    count += std::popcount(group.dumped | group.first | group.target);
  return count;
}
