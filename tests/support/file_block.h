#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A file block: the offset table (each entry as given) followed by the strings, in order.
inline Bytes make_block(const std::vector<int>& offsets, const std::vector<Bytes>& strings) {
  Bytes block;
  for (int offset : offsets) {
    block.push_back(static_cast<std::uint8_t>(offset & 0xFF));
    block.push_back(static_cast<std::uint8_t>(offset >> 8));
  }
  for (const Bytes& s : strings) block.insert(block.end(), s.begin(), s.end());
  return block;
}

// A block whose offsets point at the strings laid out back to back after the table.
inline Bytes make_block(const std::vector<Bytes>& strings) {
  std::vector<int> offsets;
  int at = static_cast<int>(2 * strings.size());
  for (const Bytes& s : strings) {
    offsets.push_back(at);
    at += static_cast<int>(s.size());
  }
  return make_block(offsets, strings);
}

// The bytes of `text` followed by `end` (0xFF or 0xD0): letters stand for their own codes.
inline Bytes text_string(const std::string& text, std::uint8_t end = 0xFF) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(end);
  return bytes;
}
