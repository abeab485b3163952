#include "dense_table.h"

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

// Text of a single-byte code; empty leaves the code undefined, for its fallback form.
std::string single_code_text(int code) {
  if (code >= 0x20 && code <= 0x7E) return std::string(1, static_cast<char>(code));
  if (code < 0x20) return code % 8 == 7 ? "" : "[c" + key(code, 2) + "]";
  if (code >= 0x80 && code <= 0x87) return "";
  if (code <= 0xBE) return utf8(0xC0 + code);  // accented Latin letters
  if (code == 0xBF) return "[bf]";
  if (code >= 0xC8 && code <= 0xC9) return "";
  if (code <= 0xCF) return "[run " + key(code, 2) + "]";
  switch (code) {
    case 0xD0:
      return "[end]";
    case 0xD5:
      return "[a control with the longest text: 39 b]";
    case 0xF3:  // a parameter control with no text of its own: "<CODE F3><$p>"
    case 0xFA:
      return "";
    case 0xFE:
      return "[br]";
    case 0xFF:
      return "[END]";
  }
  if (code >= 0xE0 && code <= 0xE3) return "";
  return "[ctl " + key(code, 2) + "]";
}

}  // namespace

std::string dense_table_text() {
  std::string text = "// Dense table for the benchmark image\n";
  for (int code = 0; code < 0x100; ++code) {
    const std::string value = single_code_text(code);
    if (!value.empty()) text += key(code, 2) + "=" + value + "\n";
  }
  text += "# run pages 1 and 2; their last 16 codes left out\n";
  for (int page = 1; page <= 2; ++page) {
    for (int follow = 0; follow < 0xF0; ++follow) {
      text += key(page << 8 | follow, 4) + "=" + utf8(0x4E00 + (page - 1) * 0x100 + follow) + "\n";
    }
  }
  // The image's parameters of 0xF0-0xF3 run up to 0x1F: the rest fall back to the control's
  // own text, or for 0xF3 to its code.
  text += "# parameter codes: 0xBF up to 0x0F, 0xF0-0xF2 up to 0x17\n";
  for (int param = 0; param < 0x10; ++param) {
    text += "BF" + key(param, 2) + "=[bf " + key(param, 2) + "]\n";
  }
  for (int hi = 0xF0; hi <= 0xF2; ++hi) {
    for (int param = 0; param < 0x18; ++param) {
      text += key(hi << 8 | param, 4) + "=[wait " + key(param, 2) + "]\n";
    }
  }
  return text;
}
