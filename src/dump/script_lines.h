#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/script_sink.h"

// The line of 58 slashes that closes a block section and opens a region section.
inline constexpr char kSeparator[] = "//////////////////////////////////////////////////////////";
static_assert(sizeof kSeparator - 1 == 58);

// "//[%06X ~ %06X]": where a string lies, as linear address and image offset. Written
// directly at `out`, which has kPositionCommentRoom bytes of room; returns the end.
inline constexpr std::size_t kPositionCommentRoom = 3 + 2 * ScriptSink::kHexRoom + 3 + 1;
inline char* put_position_comment(char* out, int linear, int offset) {
  out = ScriptSink::put<"//[">(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(linear), 6);
  out = ScriptSink::put<" ~ ">(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(offset), 6);
  return ScriptSink::put<"]">(out);
}
