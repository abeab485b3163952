#include "decode/token_renderings.h"

#include <cstring>

#include "decode/encoding.h"
#include "script/script_sink.h"

namespace {

char hex_digit(int value) {
  return "0123456789ABCDEF"[value & 0xF];
}

// A rendering is built in a small fixed buffer, nothing is allocated.
struct Text {
  char bytes[TokenRenderings::kLongest];
  int size = 0;

  void add(std::string_view text) {
    std::memcpy(bytes + size, text.data(), text.size());
    size += static_cast<int>(text.size());
  }
  void add_hex(int value) {
    bytes[size++] = hex_digit(value >> 4);
    bytes[size++] = hex_digit(value);
  }
  std::string_view view() const { return {bytes, static_cast<std::size_t>(size)}; }
};

// Character fallback: "<$%02X>" with the raw byte.
void add_raw_value(Text& text, int raw) {
  text.add("<$");
  text.add_hex(raw);
  text.add(">");
}

// Control fallback: "<CODE %02X>".
void add_code_value(Text& text, int code) {
  text.add("<CODE ");
  text.add_hex(code);
  text.add(">");
}

// Single-byte codes that the decoder writes as characters, with "<$%02X>" as their
// fallback: plain characters and the leads of character runs. The rest are controls.
bool is_character(int code) {
  return code <= 0xBE || (code >= 0xC0 && code <= 0xCF);
}

// Single-byte codes that take more bytes after them or end the string: the parameter
// controls, the run leads and the two end codes.
bool leads_more(int code) {
  return (code >= 0xBF && code <= 0xD0) || (code >= 0xF0 && code <= 0xF3) || code == 0xFF;
}

TokenRenderings::Lead lead_of(int code) {
  if (code == 0xBF || (code >= 0xF0 && code <= 0xF3))
    return {static_cast<std::uint16_t>(TokenRenderings::parameter_slot(code, 0)), 1, false, false};
  // A run's lead tells how many follow bytes it takes and on which table page they are
  // looked up: 0xC0-0xC7 take 1-8 bytes of page 1, 0xC8-0xCF of page 2.
  if (code >= 0xC0 && code <= 0xC7)
    return {0x100, static_cast<std::uint8_t>(code - 0xBF), true, false};
  if (code >= 0xC8 && code <= 0xCF)
    return {0x200, static_cast<std::uint8_t>(code - 0xC7), true, false};
  return {0, 0, true, true};  // 0xD0 or 0xFF
}

}  // namespace

void TokenRenderings::add(int slot, std::string_view text, bool fallback) {
  refs_[slot] = static_cast<std::uint32_t>(used_) << kOffsetShift | (fallback ? kFallbackBit : 0) |
                static_cast<std::uint32_t>(text.size());
  if (slot < 0x100) {
    ShortToken& token = short_[slot];
    if (leads_more(slot)) {
      const Lead lead = lead_of(slot);
      std::memcpy(token.text, &lead, sizeof lead);
      token.length = kLead;
    } else if (text.size() > kShortText) {
      token.length = kLong;
    } else {
      std::memcpy(token.text, text.data(), text.size());
      token.length = static_cast<std::uint8_t>(text.size());
    }
  }
  std::memcpy(bytes_.data() + used_, text.data(), text.size());
  used_ += static_cast<int>(text.size());
}

void TokenRenderings::build(const TextTable& table) {
  used_ = 0;
  for (int slot = 0; slot < kSlots; ++slot) {
    const int key = key_of(slot);
    const int raw = key & 0xFF;
    Text text;
    const bool defined = table.defined(key);
    if (defined) {
      text.add(table.text(key));
    } else if (slot >= 0x300) {  // a parameter: the control's own text, or its code
      const int hi = key >> 8;
      if (table.defined(hi)) {
        text.add(table.text(hi));
      } else {
        add_code_value(text, hi);
      }
      add_raw_value(text, raw);
    } else if (slot >= 0x100 || is_character(key)) {
      add_raw_value(text, raw);
    } else {
      add_code_value(text, key);
    }
    if (slot < 0x100)
      for (int i = 0; i < line_ends_after(kByteClasses[slot].kind); ++i) text.add(kLineEnd);
    add(slot, text.view(), !defined);
  }
}
