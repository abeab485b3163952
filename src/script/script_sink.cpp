#include "script/script_sink.h"

#include <algorithm>

void ScriptSink::write(std::string_view text) {
  for (std::size_t line_feed; (line_feed = text.find('\n')) != std::string_view::npos;
       text.remove_prefix(line_feed + 1)) {
    write_plain(text.substr(0, line_feed));
    write<"\n">();
  }
  write_plain(text);
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
    if (kept_ != nullptr) kept_->append(buffer_.data(), used_);
    if (file_ != nullptr && std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
    if (copy_ != nullptr && !copy_->copy({buffer_.data(), used_})) failed_ = true;
    used_ = 0;
  }
  return !failed_;
}
