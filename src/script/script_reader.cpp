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

}  // namespace

bool read_position_line(std::string_view line, std::uint64_t& linear, std::uint64_t& offset) {
  return take(line, kPositionOpen) && take_hex(line, linear) && take(line, kPositionBetween) &&
         take_hex(line, offset) && line == kPositionClose;
}

ScriptReader::ScriptReader(ScriptSource& source) : source_(&source), buffer_(new char[kFirstRoom]) {
  filled_ = buffer_.get();
  scan_ = filled_;
}

ScriptReader::ScriptReader(std::string_view whole)
    : source_(nullptr),
      scan_(whole.data()),
      filled_(whole.data() + whole.size()),
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
  // Keep what is still needed at the start: from where the reading goes back to, in one
  // piece; else the kept lines end to end, then what is not scanned yet. In a larger buffer if
  // it fills half this one.
  const char* const from = rewind_to_ != nullptr ? rewind_to_ : scan_;
  const std::size_t unscanned = static_cast<std::size_t>(filled_ - from);
  std::size_t kept = unscanned;
  if (kept_lines_ != nullptr && rewind_to_ == nullptr)
    for (const std::string_view& line : *kept_lines_) kept += line.size();
  char* to = buffer_.get();
  std::unique_ptr<char[]> larger;
  if (2 * kept > room_) {
    room_ *= 2;
    larger.reset(new char[room_]);
    to = larger.get();
  }
  if (rewind_to_ != nullptr) {
    // Every line read since lies in the piece, and keeps its place in it.
    if (kept_lines_ != nullptr)
      for (std::string_view& line : *kept_lines_) line = {to + (line.data() - from), line.size()};
    scan_ = to + (scan_ - from);
    rewind_to_ = to;
  } else {
    // In file order, so that no line is overwritten before it has moved.
    if (kept_lines_ != nullptr) {
      for (std::string_view& line : *kept_lines_) {
        std::memmove(to, line.data(), line.size());
        line = {to, line.size()};
        to += line.size();
      }
    }
    scan_ = to;
  }
  std::memmove(to, from, unscanned);
  char* const end = to + unscanned;
  if (larger) buffer_ = std::move(larger);
  const std::size_t got = source_->read(end, room_ - kept);
  filled_ = end + got;
  if (got == 0) source_done_ = true;
}

bool ScriptReader::next(ScriptString& string) {
  kept_lines_ = nullptr;
  string.jump_line = 0;
  // The commands: a position line, then #WRITEINDEX( and #WRITE(PtrTable), or #W16(.
  for (;;) {
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
  string.line_numbers.clear();
  kept_lines_ = &lines;
  for (;;) {
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
    if (line.empty()) continue;
    if (lines.empty()) string.first_line = lines_read_;
    lines.push_back(line);
    string.line_numbers.push_back(lines_read_);
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
    refill();  // a line that may run on past the bytes read
  }
}

bool ScriptReader::next_comment_copy(ScriptString& copy) {
  std::vector<std::string_view>& lines = copy.lines;
  for (;;) {
    kept_lines_ = nullptr;
    pass_over_other_lines();
    const std::string_view position = take_line();
    if (position.data() == nullptr) return false;
    if (!position.starts_with(kPositionOpen)) continue;
    // Whatever follows, the next search starts at the line after the position line: the
    // position line and the lines read after it stay in the buffer, from rewind_to_, and the
    // search goes back to them. Most position lines are a string's, followed by its commands:
    // the numbers are read only once the empty line of a comment copy follows.
    const std::int64_t lines_before = lines_read_;
    rewind_to_ = position.data();
    const auto next_line = static_cast<std::size_t>(scan_ - rewind_to_);
    lines.clear();
    copy.line_numbers.clear();
    kept_lines_ = &lines;
    std::string_view line = take_line();
    if (line.data() != nullptr && line.empty() &&
        read_position_line({rewind_to_, position.size()}, copy.linear, copy.offset)) {
      copy.position_line = lines_before;
      while ((line = take_line()).starts_with(kCommentLead)) {
        if (lines.empty()) copy.first_line = lines_read_;
        lines.push_back(line.substr(std::string_view(kCommentLead).size()));
        copy.line_numbers.push_back(lines_read_);
      }
      copy.cut =
          line.data() == nullptr ? ScriptString::Cut::kEndOfFile : ScriptString::Cut::kComment;
      copy.cut_line = line.data() == nullptr ? lines_read_ + 1 : lines_read_;
    }
    kept_lines_ = nullptr;
    scan_ = rewind_to_ + next_line;
    rewind_to_ = nullptr;
    lines_read_ = lines_before;
    if (!lines.empty()) return true;
  }
}
