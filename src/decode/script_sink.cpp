#include "decode/script_sink.h"

#include <algorithm>

void ScriptSink::write_long(std::string_view text) {
  while (!text.empty()) {
    const std::string_view piece = text.substr(0, kSlack);
    write(piece);
    text.remove_prefix(piece.size());
  }
}

void ScriptSink::write_plain_long(std::string_view text) {
  while (!text.empty()) {
    make_room(1);
    const std::size_t n = std::min(text.size(), kCapacity - used_);
    std::memcpy(buffer_.data() + used_, text.data(), n);
    used_ += n;
    text.remove_prefix(n);
  }
}

bool ScriptSink::flush() {
  if (used_ > 0) {
    if (std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
    used_ = 0;
  }
  return !failed_;
}
