#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

// A script's text is UTF-8, and a translator finds a place in it as an editor shows it: by
// characters, not bytes.

// 0x80-0xBF only go on a UTF-8 character that a lead byte (0xC0 and above) has started.
constexpr bool continues_a_character(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The column an editor shows for byte `at` of `line`: 1 plus the characters before it.
constexpr long long character_column(std::string_view line, std::size_t at) {
  const std::string_view before = line.substr(0, std::min(at, line.size()));
  return 1 + std::ranges::count_if(before, [](char c) { return !continues_a_character(c); });
}

// At most `most` bytes of `line` from byte `at`, not ending inside a character: when the byte
// after them continues one, they end before the last lead byte among them, if they hold one.
constexpr std::string_view text_from(std::string_view line, std::size_t at, std::size_t most) {
  const std::string_view kept = line.substr(std::min(at, line.size()), most);
  const std::size_t after = static_cast<std::size_t>(kept.data() - line.data()) + kept.size();
  if (after == line.size() || !continues_a_character(line[after])) return kept;
  for (std::size_t lead = kept.size(); lead-- > 0;)
    if (static_cast<unsigned char>(kept[lead]) >= 0xC0) return kept.substr(0, lead);
  return kept;
}
