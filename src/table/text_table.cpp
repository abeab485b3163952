#include "table/text_table.h"

#include <cstring>

void TextTable::set(int code, std::string_view value) {
  if (value.size() > kMaxText) value = value.substr(0, kMaxText);
  auto& slot = slots[code];
  std::memcpy(slot.data(), value.data(), value.size());
  slot[value.size()] = '\0';
  lengths[code] = static_cast<std::uint8_t>(value.size());
}
