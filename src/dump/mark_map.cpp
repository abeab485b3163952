#include "dump/mark_map.h"

#include <algorithm>

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
