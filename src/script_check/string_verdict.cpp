#include "script_check/string_verdict.h"

#include <algorithm>

#include "script/script_sink.h"

bool is_as_dumped(std::string_view rendering, const ScriptString& string) {
  std::span<const std::string_view> lines = string.lines;
  while (!lines.empty() && lines.back().empty()) lines = lines.first(lines.size() - 1);
  if (!lines.empty() && string.line_numbers[lines.size() - 1] - string.first_line !=
                            static_cast<std::int64_t>(lines.size()) - 1)
    return false;
  while (rendering.ends_with(kLineEnd)) rendering.remove_suffix(kLineEnd.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      if (!rendering.starts_with(kLineEnd)) return false;
      rendering.remove_prefix(kLineEnd.size());
    }
    if (!rendering.starts_with(lines[i])) return false;
    rendering.remove_prefix(lines[i].size());
  }
  return rendering.empty();
}

bool gives_back(const StringEncoder& encoder, std::span<const std::string_view> lines,
                std::span<const std::uint8_t> bytes, StringEncoding& encoding) {
  if (encoder.surely_gives_back(lines, bytes)) return true;
  encoder.encode(lines, encoding);
  return encoding.outcome == StringEncoding::Outcome::kEncoded &&
         std::ranges::equal(encoding.bytes, bytes);
}
