#include "dense_table.h"

#include <cstdint>
#include <cstdio>

namespace {

std::string key(int code, int digits) {
  char text[8];
  std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(code));
  return text;
}

// UTF-8 of a code point below 0x10000: tables for real images hold multi-byte text.
std::string utf8(int point) {
  std::string text;
  if (point < 0x800) {
    text += static_cast<char>(0xC0 | point >> 6);
  } else {
    text += static_cast<char>(0xE0 | point >> 12);
    text += static_cast<char>(0x80 | (point >> 6 & 0x3F));
  }
  text += static_cast<char>(0x80 | (point & 0x3F));
  return text;
}

// Text of a single-byte code.
std::string single_code_text(int code) {
  if (code >= 0x20 && code <= 0x7E) return std::string(1, static_cast<char>(code));
  if (code < 0x20) return "[c" + key(code, 2) + "]";
  if (code <= 0xBE) return utf8(0xC0 + code);  // accented Latin letters
  if (code == 0xBF) return "[bf]";
  if (code <= 0xCF) return "[run " + key(code, 2) + "]";
  switch (code) {
    case 0xD0:
      return "[end]";
    case 0xD5:
      return "[a control with the longest text: 39 b]";
    case 0xFE:
      return "[br]";
    case 0xFF:
      return "[END]";
  }
  return "[ctl " + key(code, 2) + "]";
}

// A mixed table leaves out one code in five, scattered over every kind of code.
bool left_out(DenseTable kind, int code) {
  if (kind == DenseTable::full) return false;
  if (kind == DenseTable::empty) return true;
  return (static_cast<std::uint32_t>(code) * 0x9E3779B1u >> 24) % 5 == 0;
}

}  // namespace

std::string dense_table_text(DenseTable kind) {
  std::string text = "// Table for the dense image made by make_sample_image --dense\n";
  auto entry = [&](int code, int digits, const std::string& value) {
    if (!left_out(kind, code)) text += key(code, digits) + "=" + value + "\n";
  };
  for (int code = 0; code < 0x100; ++code) entry(code, 2, single_code_text(code));
  text += "# the follow bytes of runs: pages 1 and 2\n";
  for (int code = 0x100; code < 0x300; ++code) entry(code, 4, utf8(0x4E00 + code - 0x100));
  text += "# controls with a parameter\n";
  for (int param = 0; param < 0x100; ++param)
    entry(0xBF00 | param, 4, "[bf " + key(param, 2) + "]");
  for (int hi = 0xF0; hi <= 0xF3; ++hi) {
    for (int param = 0; param < 0x100; ++param)
      entry(hi << 8 | param, 4, "[wait " + key(param, 2) + "]");
  }
  return text;
}
