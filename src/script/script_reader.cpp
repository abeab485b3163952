#include "script/script_reader.h"

#include <cstring>

#include "script/script_lines.h"

namespace {

static_assert(kLineEnd == "\r\n", "lines are split at LF, a CR before it left off");

constexpr std::uint64_t kNoAddress = ~std::uint64_t{0};

// kPositionDigits or more upper-case hexadecimal digits at the start of `text`, read as a
// number and taken off. Past 16 significant digits the value is kNoAddress.
bool take_hex(std::string_view& text, std::uint64_t& value) {
  std::size_t digits = 0;
  value = 0;
  for (int digit; digits < text.size() && (digit = ScriptSink::hex_value(text[digits])) >= 0;
       ++digits)
    value = value >> 60 != 0 ? kNoAddress : value << 4 | static_cast<std::uint64_t>(digit);
  text.remove_prefix(digits);
  return digits >= kPositionDigits;
}

bool take(std::string_view& text, std::string_view part) {
  if (!text.starts_with(part)) return false;
  text.remove_prefix(part.size());
  return true;
}

// The two numbers of a position line, if `line` is one.
bool read_position_line(std::string_view line, std::uint64_t& linear, std::uint64_t& offset) {
  return take(line, kPositionOpen) && take_hex(line, linear) && take(line, kPositionBetween) &&
         take_hex(line, offset) && line == kPositionClose;
}

}  // namespace

ScriptReader::ScriptReader(ScriptSource& source) : source_(&source), buffer_(new char[kFirstRoom]) {
  filled_ = buffer_.get();
  scan_ = keep_ = filled_;
}

ScriptReader::ScriptReader(std::string_view whole)
    : source_(nullptr),
      scan_(whole.data()),
      filled_(whole.data() + whole.size()),
      keep_(whole.data()),
      source_done_(true) {}

std::string_view ScriptReader::take_line() {
  if (held_) {
    held_ = false;
    return held_line_;
  }
  for (;;) {
    const auto* end = static_cast<const char*>(std::memchr(scan_, '\n', filled_ - scan_));
    if (end != nullptr) {
      const char* const start = scan_;
      scan_ = end + 1;
      ++lines_read_;
      if (end > start && end[-1] == '\r') --end;
      return {start, static_cast<std::size_t>(end - start)};
    }
    if (source_done_) {
      if (scan_ == filled_) return {};
      const char* const start = scan_;
      scan_ = filled_;
      ++lines_read_;
      return {start, static_cast<std::size_t>(filled_ - start)};
    }
    refill();
  }
}

void ScriptReader::refill() {
  // Keep what is still needed at the start, in a larger buffer if it fills half this one.
  const std::size_t kept = static_cast<std::size_t>(filled_ - keep_);
  char* to = buffer_.get();
  std::unique_ptr<char[]> larger;
  if (2 * kept > room_) {
    room_ *= 2;
    larger.reset(new char[room_]);
    to = larger.get();
  }
  std::memmove(to, keep_, kept);
  // Lines and the scan keep their place relative to the first byte kept.
  auto move = [&](std::string_view& line) { line = {to + (line.data() - keep_), line.size()}; };
  if (held_) move(held_line_);
  if (kept_lines_ != nullptr)
    for (std::string_view& line : *kept_lines_) move(line);
  scan_ = to + (scan_ - keep_);
  keep_ = to;
  if (larger) buffer_ = std::move(larger);
  const std::size_t got = source_->read(to + kept, room_ - kept);
  filled_ = to + kept + got;
  if (got == 0) source_done_ = true;
}

bool ScriptReader::next(ScriptString& string) {
  kept_lines_ = nullptr;
  string.jump_line = 0;
  // The commands: a position line, then #WRITEINDEX( and #WRITE(PtrTable), or #W16(.
  for (;;) {
    keep_ = held_ ? held_line_.data() : scan_;
    std::string_view line = take_line();
    if (line.data() == nullptr) return false;
    if (!read_position_line(line, string.linear, string.offset)) {
      if (line.starts_with(kJumpOpen)) {
        string.jump.assign(line);
        string.jump_line = lines_read_;
      }
      continue;
    }
    string.position_line = lines_read_;
    keep_ = scan_;
    line = take_line();
    if (line.data() == nullptr) return false;
    const bool write16 = line.starts_with(kWrite16Open);
    if (!write16 && !line.starts_with(kWriteIndexOpen)) {
      held_ = true;  // may be the next position line
      held_line_ = line;
      continue;
    }
    string.command.assign(line);
    if (!write16) {
      keep_ = scan_;
      line = take_line();
      if (line.data() == nullptr) return false;
      if (line != kWritePointer) {
        held_ = true;
        held_line_ = line;
        continue;
      }
    }
    string.last_command_line = lines_read_;
    break;
  }

  // The text, from its first line that is not empty up to a line that starts with "//" or
  // "#", or to the end of the file.
  std::vector<std::string_view>& lines = string.lines;
  lines.clear();
  kept_lines_ = &lines;
  for (;;) {
    keep_ = lines.empty() ? scan_ : lines.front().data();
    const std::string_view line = take_line();
    if (line.data() == nullptr) {
      string.cut = ScriptString::Cut::kEndOfFile;
      string.cut_line = lines_read_ + 1;
      break;
    }
    const bool command = line.starts_with(kCommandLead);
    if (command || line.starts_with(kCommentLead)) {
      string.cut = command ? ScriptString::Cut::kCommand : ScriptString::Cut::kComment;
      string.cut_line = lines_read_;
      held_ = true;
      held_line_ = line;
      break;
    }
    if (lines.empty()) {
      if (line.empty()) continue;
      string.first_line = lines_read_;
    }
    lines.push_back(line);
  }
  kept_lines_ = nullptr;
  if (lines.empty()) string.first_line = string.cut_line;
  return true;
}

void ScriptReader::pass_over_other_lines() {
  constexpr std::string_view kOpen = kPositionOpen;
  const auto starts_as_position_line = [&] {
    return std::string_view(scan_, kOpen.size()) == kOpen;
  };
  for (;;) {
    bool start_read;  // the line's first bytes, as many as kOpen has
    while ((start_read = static_cast<std::size_t>(filled_ - scan_) >= kOpen.size()) &&
           !starts_as_position_line()) {
      const auto* line_feed = static_cast<const char*>(std::memchr(scan_, '\n', filled_ - scan_));
      if (line_feed == nullptr) break;
      scan_ = line_feed + 1;
      ++lines_read_;
    }
    if (source_done_ || (start_read && starts_as_position_line())) return;
    keep_ = scan_;  // a line that may run on past the bytes read
    refill();
  }
}

bool ScriptReader::next_comment_copy(ScriptString& copy) {
  std::vector<std::string_view>& lines = copy.lines;
  for (;;) {
    kept_lines_ = nullptr;
    keep_ = scan_;
    pass_over_other_lines();
    keep_ = scan_;
    const std::string_view position = take_line();
    if (position.data() == nullptr) return false;
    if (!position.starts_with(kPositionOpen)) continue;
    // Whatever follows, the next search starts at the line after the position line: the
    // position line stays at keep_, the lines read after it in the buffer, and the search
    // goes back to them. Most position lines are a string's, followed by its commands: the
    // numbers are read only once the empty line of a comment copy follows.
    const int lines_before = lines_read_;
    const auto next_line = static_cast<std::size_t>(scan_ - keep_);
    lines.clear();
    kept_lines_ = &lines;
    std::string_view line = take_line();
    if (line.data() != nullptr && line.empty() &&
        read_position_line({keep_, position.size()}, copy.linear, copy.offset)) {
      copy.position_line = lines_before;
      while ((line = take_line()).starts_with(kCommentLead)) {
        if (lines.empty()) copy.first_line = lines_read_;
        lines.push_back(line.substr(std::string_view(kCommentLead).size()));
      }
      copy.cut =
          line.data() == nullptr ? ScriptString::Cut::kEndOfFile : ScriptString::Cut::kComment;
      copy.cut_line = line.data() == nullptr ? lines_read_ + 1 : lines_read_;
    }
    kept_lines_ = nullptr;
    scan_ = keep_ + next_line;
    lines_read_ = lines_before;
    if (!lines.empty()) return true;
  }
}
