#pragma once

#include <cstdint>
#include <string_view>

// Texts compared line by line, line ends aside, as the script reader reads lines: split at
// each LF, a CR right before it not part of the line, and a last LF ending the last line
// without starting another. A script saved with LF alone reads as the same lines.

// The line of `text` that starts at `at`, without its line end; `next` is set to where the
// next line starts.
std::string_view line_at(std::string_view text, std::size_t at, std::size_t& next);

// The number (from 1) of the first line at which `a` and `b` differ, or, if one holds the
// other's lines and more, of the first line past the shorter; 0 if they hold the same lines.
std::int64_t first_different_line(std::string_view a, std::string_view b);

inline bool same_lines(std::string_view a, std::string_view b) {
  return first_different_line(a, b) == 0;
}
