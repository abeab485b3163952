#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The text that stands for each 16-bit code of the image's string encoding.
// Single-byte codes use 0x00xx, the follow bytes of character runs 0x01xx and 0x02xx,
// two-byte controls hi * 0x100 + parameter.
struct TextTable {
  static constexpr int kCodes = 0x10000;
  static constexpr int kSlotSize = 40;  // 39 bytes of text and a NUL
  static constexpr int kMaxText = kSlotSize - 1;

  // Zero-initialised: every entry starts undefined.
  std::array<std::array<char, kSlotSize>, kCodes> slots{};
  // Length of each slot's text, kept so a rendering is one copy; 0 means undefined.
  std::array<std::uint8_t, kCodes> lengths{};

  bool defined(int code) const { return lengths[code] != 0; }
  std::string_view text(int code) const { return {slots[code].data(), lengths[code]}; }

  // Stores `value` (cut to kMaxText bytes) as the text of `code`; an empty value
  // leaves the entry undefined, also over an earlier definition.
  void set(int code, std::string_view value);
};
