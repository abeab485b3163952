#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/script_sink.h"

// The lines of the dump's sections around its strings, one writer each. Places are given
// as linear address and image offset; the lines before a string are written straight into
// the sink's room, being written once per string.

// The line of 58 slashes that closes a block section and opens a region section.
inline constexpr std::string_view kSeparator =
    "//////////////////////////////////////////////////////////";
static_assert(kSeparator.size() == 58);

// "//[%06X ~ %06X]": where a string lies.
inline constexpr ScriptLiteral kPositionOpen("//[");
inline constexpr ScriptLiteral kPositionBetween(" ~ ");
inline constexpr ScriptLiteral kPositionClose("]");
inline constexpr std::size_t kPositionCommentRoom = kPositionOpen.size + ScriptSink::kHexRoom +
                                                    kPositionBetween.size + ScriptSink::kHexRoom +
                                                    kPositionClose.size;
inline char* put_position_comment(char* out, int linear, int offset) {
  out = ScriptSink::put<kPositionOpen>(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(linear), 6);
  out = ScriptSink::put<kPositionBetween>(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(offset), 6);
  return ScriptSink::put<kPositionClose>(out);
}

// Before a block's first string: its position, an empty line, then "//", so that the
// string's first line stands commented out.
inline constexpr ScriptLiteral kFirstStringOpen("\n\n//");
// Before each later string: its position and the commands that rewrite the block's offset
// table entry at image offset `entry`: "#WRITEINDEX($%X,2)", "#WRITE(PtrTable)", an empty line.
inline constexpr ScriptLiteral kWriteIndexOpen("\n#WRITEINDEX($");
inline constexpr ScriptLiteral kWriteIndexClose(",2)\n#WRITE(PtrTable)\n\n");
inline constexpr std::size_t kStringHeadRoom =
    kPositionCommentRoom +
    std::max(kFirstStringOpen.size,
             kWriteIndexOpen.size + ScriptSink::kHexRoom + kWriteIndexClose.size);

inline void write_first_string_head(ScriptSink& script, int linear, int offset) {
  char* out = script.room_for<kStringHeadRoom>();
  out = put_position_comment(out, linear, offset);
  script.written_up_to(ScriptSink::put<kFirstStringOpen>(out));
}

inline void write_string_head(ScriptSink& script, int linear, int offset, int entry) {
  char* out = script.room_for<kStringHeadRoom>();
  out = put_position_comment(out, linear, offset);
  out = ScriptSink::put<kWriteIndexOpen>(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(entry));
  script.written_up_to(ScriptSink::put<kWriteIndexClose>(out));
}

// Before a string of a region section: an empty line, its position, and "#W16($%X)", which
// points the string at its own image offset.
inline constexpr ScriptLiteral kRegionStringOpen("\n");
inline constexpr ScriptLiteral kW16Open("\n#W16($");
inline constexpr ScriptLiteral kW16Close(")\n");
inline constexpr std::size_t kRegionStringHeadRoom = kRegionStringOpen.size + kPositionCommentRoom +
                                                     kW16Open.size + ScriptSink::kHexRoom +
                                                     kW16Close.size;

inline void write_region_string_head(ScriptSink& script, int linear, int offset) {
  char* out = script.room_for<kRegionStringHeadRoom>();
  out = ScriptSink::put<kRegionStringOpen>(out);
  out = put_position_comment(out, linear, offset);
  out = ScriptSink::put<kW16Open>(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(offset));
  script.written_up_to(ScriptSink::put<kW16Close>(out));
}

// A region section's opening: the separator, "//" and "#JMP($%X,$%X)" into the bank's free
// space (image offsets, for the inserter).
void write_region_opening(ScriptSink& script, int free_start, int free_end);

// "[FILE] %06X-%06X [%X]": a block's span as linear addresses and twice its index number. It
// closes the block's section and is the block's progress line. Written at `out`, which has
// kFileLineRoom bytes of room; returns the end.
inline constexpr ScriptLiteral kFileLineOpen("[FILE] ");
inline constexpr ScriptLiteral kFileLineTo("-");
inline constexpr ScriptLiteral kFileLineIndexOpen(" [");
inline constexpr ScriptLiteral kFileLineClose("]");
inline constexpr std::size_t kFileLineRoom = kFileLineOpen.size + kFileLineTo.size +
                                             kFileLineIndexOpen.size + kFileLineClose.size +
                                             3 * ScriptSink::kHexRoom;
char* put_file_line(char* out, int start, int end, int twice_index);

// A block section's closing lines: "//" and the file line, then the separator.
void write_block_footer(ScriptSink& script, std::string_view file_line);
