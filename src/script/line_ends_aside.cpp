#include "script/line_ends_aside.h"

std::string_view line_at(std::string_view text, std::size_t at, std::size_t& next) {
  std::size_t end = text.find('\n', at);
  if (end == std::string_view::npos) {
    next = end = text.size();
  } else {
    next = end + 1;
    if (end > at && text[end - 1] == '\r') --end;
  }
  return text.substr(at, end - at);
}

std::int64_t first_different_line(std::string_view a, std::string_view b) {
  if (a == b) return 0;  // most often so, and a comparison of the bytes is quicker
  std::size_t at_a = 0;
  std::size_t at_b = 0;
  for (std::int64_t line = 1;; ++line) {
    const bool a_ended = at_a >= a.size();
    const bool b_ended = at_b >= b.size();
    if (a_ended && b_ended) return 0;
    if (a_ended || b_ended || line_at(a, at_a, at_a) != line_at(b, at_b, at_b)) return line;
  }
}
