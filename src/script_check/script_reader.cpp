#include "script_check/script_reader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint64_t kNoAddress = ~std::uint64_t{0};

// Six or more upper-case hexadecimal digits at the start of `text`, read as a number and
// taken off. Past 16 significant digits the value is kNoAddress.
bool take_hex(std::string_view& text, std::uint64_t& value) {
  std::size_t digits = 0;
  value = 0;
  int significant = 0;
  for (; digits < text.size(); ++digits) {
    const char c = text[digits];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      break;
    }
    if (value != 0 || digit != 0) ++significant;
    value = significant > 16 ? kNoAddress : value << 4 | static_cast<std::uint64_t>(digit);
  }
  text.remove_prefix(digits);
  return digits >= 6;
}

bool take(std::string_view& text, std::string_view part) {
  if (!text.starts_with(part)) return false;
  text.remove_prefix(part.size());
  return true;
}

}  // namespace

bool read_position_line(std::string_view line, std::uint64_t& linear, std::uint64_t& offset) {
  return take(line, "//[") && take_hex(line, linear) && take(line, " ~ ") &&
         take_hex(line, offset) && line == "]";
}

bool ScriptReader::take_line(Line& line) {
  if (held_) {
    held_ = false;
    line = held_line_;
    return true;
  }
  for (;;) {
    const char* const from = buffer_.data() + scan_;
    const auto* end = static_cast<const char*>(std::memchr(from, '\n', filled_ - scan_));
    if (end != nullptr || (source_done_ && scan_ < filled_)) {
      const std::size_t size = end != nullptr ? static_cast<std::size_t>(end - from) : filled_ - scan_;
      line = {scan_, size};
      scan_ += end != nullptr ? size + 1 : size;
      if (end != nullptr && size > 0 && from[size - 1] == '\r') --line.size;
      ++lines_read_;
      return true;
    }
    if (source_done_) return false;
    refill();
  }
}

void ScriptReader::refill() {
  // Drop what is no longer needed, and make room if the rest fills half the buffer.
  const std::size_t dropped = keep_;
  std::memmove(buffer_.data(), buffer_.data() + dropped, filled_ - dropped);
  filled_ -= dropped;
  scan_ -= dropped;
  keep_ = 0;
  held_line_.at -= std::min(held_line_.at, dropped);
  for (Line& line : text_) line.at -= dropped;
  if (2 * filled_ > buffer_.size()) buffer_.resize(2 * buffer_.size());
  const std::size_t got = source_.read(buffer_.data() + filled_, buffer_.size() - filled_);
  filled_ += got;
  if (got == 0) source_done_ = true;
}

bool ScriptReader::next(ScriptString& string) {
  Line line;
  // The commands: a position line, then #WRITEINDEX( and #WRITE(PtrTable), or #W16(.
  for (;;) {
    keep_ = held_ ? held_line_.at : scan_;
    if (!take_line(line)) return false;
    if (!read_position_line(view(line), string.linear, string.offset)) continue;
    string.position_line = lines_read_;
    keep_ = scan_;
    if (!take_line(line)) return false;
    if (view(line).starts_with("#W16(")) break;
    if (!view(line).starts_with("#WRITEINDEX(")) {
      held_ = true;  // may be the next position line
      held_line_ = line;
      continue;
    }
    keep_ = scan_;
    if (!take_line(line)) return false;
    if (view(line) == "#WRITE(PtrTable)") break;
    held_ = true;
    held_line_ = line;
  }

  // The text, from its first line that is not empty up to a line that starts with "//" or
  // "#", or to the end of the file.
  text_.clear();
  string.first_line = 0;
  for (;;) {
    keep_ = text_.empty() ? scan_ : text_.front().at;
    if (!take_line(line)) {
      string.cut = ScriptString::Cut::kEndOfFile;
      string.cut_line = lines_read_ + 1;
      break;
    }
    const std::string_view text = view(line);
    const bool hash = text.starts_with('#');
    if (hash || text.starts_with("//")) {
      string.cut = hash ? ScriptString::Cut::kHash : ScriptString::Cut::kSlashes;
      string.cut_line = lines_read_;
      held_ = true;
      held_line_ = line;
      break;
    }
    if (text_.empty() && text.empty()) continue;
    if (text_.empty()) string.first_line = lines_read_;
    text_.push_back(line);
  }
  if (text_.empty()) string.first_line = string.cut_line;
  string.lines.clear();
  for (const Line& text : text_) string.lines.push_back(view(text));
  return true;
}
