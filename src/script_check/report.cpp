#include "script_check/report.h"

#include <charconv>
#include <iterator>

#include "script/script_lines.h"

void Report::put_number(long long value) {
  char digits[24];
  const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
  line_.append(digits, result.ptr);
}

void Report::put_address(int linear) {
  put_hex(static_cast<std::uint32_t>(linear), kPositionDigits);
}

void Report::put_hex(std::uint32_t value, int min_digits) {
  char digits[ScriptSink::kHexRoom];
  line_.append(digits, ScriptSink::put_hex(digits, value, min_digits));
}

void Report::end_line() {
  if (held_ != nullptr) {
    *held_ += line_;
  } else {
    std::fwrite(line_.data(), 1, line_.size(), console_);
  }
  reported_ = true;
  line_.assign(1, '\n');
}
