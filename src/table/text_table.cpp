#include "table/text_table.h"

#include <cstring>

void TextTable::set(int code, std::string_view value) {
  if (value.size() > kMaxText) value = value.substr(0, kMaxText);
  std::uint32_t& ref = refs_[code];
  std::uint32_t place = ref >> kPlaceShift & kPlaceMask;
  std::uint32_t offset = ref >> kOffsetShift;
  if (value.size() > kPlaceSizes[place]) {
    while (value.size() > kPlaceSizes[place]) ++place;
    offset = used_;
    used_ += kPlaceSizes[place];
  }
  std::memcpy(bytes_.data() + offset, value.data(), value.size());
  ref = offset << kOffsetShift | place << kPlaceShift | static_cast<std::uint32_t>(value.size());
}
