#include "script_check/free_space.h"

#include "script/script_lines.h"

namespace {

constexpr std::size_t kMostDigits = 8;  // of each number of a "#JMP($S,$E)" that opens a region

// 1 to kMostDigits upper-case hexadecimal digits at the start of `text`, taken off.
bool take_number(std::string_view& text, std::uint32_t& value) {
  std::size_t digits = 0;
  value = 0;
  for (int digit; digits < text.size() && (digit = ScriptSink::hex_value(text[digits])) >= 0;
       ++digits) {
    if (digits == kMostDigits) return false;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  text.remove_prefix(digits);
  return digits > 0;
}
static_assert(kMostDigits * 4 == 32, "a number of up to eight digits fits a std::uint32_t");

bool take_part(std::string_view& text, std::string_view part) {
  if (!text.starts_with(part)) return false;
  text.remove_prefix(part.size());
  return true;
}

}  // namespace

void FreeSpace::read(const ScriptString& string, bool found) {
  if (string.jump_line != 0) {
    close();
    open(string.jump, string.jump_line);
  }
  if (!found) close();
}

void FreeSpace::take(long long bytes) {
  if (!counting()) return;
  if (bytes == kProblem) {
    spoiled_ = true;
  } else {
    taken_ += bytes;
  }
}

void FreeSpace::open(std::string_view line, std::int64_t line_number) {
  open_ = take_part(line, kJumpOpen) && take_part(line, "$") && take_number(line, start_) &&
          take_part(line, ",$") && take_number(line, end_) && line == ")";
  spoiled_ = false;
  taken_ = 0;
  line_ = line_number;
}

void FreeSpace::close() {
  const bool checked = counting();
  open_ = false;
  if (!checked) return;
  const long long holds = end_ < start_ ? 0 : static_cast<long long>(end_) - start_ + 1;
  if (taken_ <= holds) return;
  overflowed_ = true;
  report_.put("[SPACE] line ");
  report_.put_number(line_);
  report_.put(": the strings after ");
  report_.put(kJumpOpen);
  report_.put("$");
  report_.put_hex(start_, 1);
  report_.put(",$");
  report_.put_hex(end_, 1);
  report_.put(") take ");
  report_.put_number(taken_);
  report_.put(" bytes, the range holds ");
  report_.put_number(holds);
  report_.end_line();
}
