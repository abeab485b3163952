#include "decode/script_sink.h"

#include <algorithm>
#include <cstring>

void ScriptSink::write(std::string_view text) {
  while (!text.empty()) {
    const std::size_t line_feed = text.find('\n');
    if (line_feed == std::string_view::npos) {
      write_plain(text);
      return;
    }
    write_plain(text.substr(0, line_feed));
    make_room(2);
    buffer_[used_++] = '\r';
    buffer_[used_++] = '\n';
    text.remove_prefix(line_feed + 1);
  }
}

void ScriptSink::write_plain(std::string_view text) {
  while (!text.empty()) {
    make_room(1);
    const std::size_t n = std::min(text.size(), kCapacity - used_);
    std::memcpy(buffer_.data() + used_, text.data(), n);
    used_ += n;
    text.remove_prefix(n);
  }
}

void ScriptSink::write_hex(std::uint32_t value, int min_digits) {
  char digits[8];
  int count = 0;
  do {
    digits[count++] = "0123456789ABCDEF"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  make_room(static_cast<std::size_t>(std::max(count, min_digits)));
  for (int pad = count; pad < min_digits; ++pad) buffer_[used_++] = '0';
  while (count > 0) buffer_[used_++] = digits[--count];
}

bool ScriptSink::flush() {
  if (used_ > 0) {
    if (std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
    used_ = 0;
  }
  return !failed_;
}

void ScriptSink::make_room(std::size_t bytes) {
  if (kCapacity - used_ < bytes) flush();
}
