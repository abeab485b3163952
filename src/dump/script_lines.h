#pragma once

#include <cstdint>

#include "decode/script_sink.h"

// The line of 58 slashes that closes a block section and opens a region section.
inline constexpr char kSeparator[] = "//////////////////////////////////////////////////////////";
static_assert(sizeof kSeparator - 1 == 58);

// "//[%06X ~ %06X]": where a string lies, as linear address and image offset.
inline void write_position_comment(ScriptSink& script, int linear, int offset) {
  script.write<"//[">();
  script.write_hex(static_cast<std::uint32_t>(linear), 6);
  script.write<" ~ ">();
  script.write_hex(static_cast<std::uint32_t>(offset), 6);
  script.write<"]">();
}
