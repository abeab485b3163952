#include "decode/string_bytes.h"

#include "decode/encoding.h"

int read_string_bytes(const RomWindow& window, int start, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  int cursor = start;
  auto next = [&] {
    const std::uint8_t b = cursor < RomWindow::kSize ? window.buffer[cursor++] : 0xFF;
    bytes.push_back(b);
    return b;
  };
  for (;;) {
    const ByteClass& lead = kByteClasses[next()];
    for (int i = 0; i < lead.follow; ++i) next();
    if (lead.kind == ByteKind::kEnd) return cursor;
  }
}
