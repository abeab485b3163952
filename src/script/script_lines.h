#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/script_sink.h"

// The lines of the dump's sections around its strings, one writer each. Places are given as
// linear address and image offset. The put_ writers write straight at `out` and return the
// end of what they wrote; the room they need is measured on them, given the widest numbers.

// The pieces of the lines that tell the inserter where a string goes, as the writers below
// put them and the check of an edited script reads them back. The inserter passes over a line
// that starts with kCommentLead and reads one that starts with kCommandLead as a command.
inline constexpr char kCommentLead[] = "//";
inline constexpr char kCommandLead[] = "#";
// "//[%06X ~ %06X]": linear address, then image offset, each of at least kPositionDigits.
inline constexpr char kPositionOpen[] = "//[";
inline constexpr char kPositionBetween[] = " ~ ";
inline constexpr char kPositionClose[] = "]";
inline constexpr int kPositionDigits = 6;
// "#WRITEINDEX($%X,2)" then "#WRITE(PtrTable)": a block's string, through its offset table.
inline constexpr char kWriteIndexOpen[] = "#WRITEINDEX(";
inline constexpr char kWritePointer[] = "#WRITE(PtrTable)";
// "#W16($%X)": a region's string, at its own image offset.
inline constexpr char kWrite16Open[] = "#W16(";
// "#JMP($%X,$%X)": the free space, as image offsets, that the region's strings go to.
inline constexpr char kJumpOpen[] = "#JMP(";
static_assert(std::string_view(kPositionOpen).starts_with(kCommentLead) &&
              std::string_view(kWriteIndexOpen).starts_with(kCommandLead) &&
              std::string_view(kWritePointer).starts_with(kCommandLead) &&
              std::string_view(kWrite16Open).starts_with(kCommandLead) &&
              std::string_view(kJumpOpen).starts_with(kCommandLead));

// The line of 58 slashes that closes a block section and opens a region section.
inline constexpr std::string_view kSeparator =
    "//////////////////////////////////////////////////////////";
static_assert(kSeparator.size() == 58);

// "//", after which the rest of the line is a comment to the inserter.
constexpr char* put_comment_start(char* out) {
  return ScriptSink::put<kCommentLead>(out);
}
inline constexpr std::size_t kCommentStartRoom =
    ScriptSink::most_written([](char* out) { return put_comment_start(out); });

// "//[%06X ~ %06X]": where a string lies.
constexpr char* put_position_comment(char* out, int linear, int offset) {
  out = ScriptSink::put<kPositionOpen>(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(linear), kPositionDigits);
  out = ScriptSink::put<kPositionBetween>(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(offset), kPositionDigits);
  return ScriptSink::put<kPositionClose>(out);
}

// Before a block's first string: its position, an empty line, then "//", so that the
// string's first line stands commented out.
constexpr char* put_first_string_head(char* out, int linear, int offset) {
  return put_comment_start(ScriptSink::put<"\n\n">(put_position_comment(out, linear, offset)));
}

// "#WRITEINDEX($%X,2)": the command that names the block's offset table entry at image
// offset `entry`, for the "#WRITE(PtrTable)" after it.
constexpr char* put_write_index_command(char* out, int entry) {
  out = ScriptSink::put<kWriteIndexOpen, "$">(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(entry));
  return ScriptSink::put<",2)">(out);
}

// "#W16($%X)": the command that points a region's string at its own image offset.
constexpr char* put_write16_command(char* out, int offset) {
  out = ScriptSink::put<kWrite16Open, "$">(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(offset));
  return ScriptSink::put<")">(out);
}

// The first command after a string's position line: put_write_index_command for a block's
// string (`entry` its offset table entry), put_write16_command for a region's (`entry` -1).
constexpr char* put_string_command(char* out, int offset, int entry) {
  return entry >= 0 ? put_write_index_command(out, entry) : put_write16_command(out, offset);
}
inline constexpr std::size_t kStringCommandRoom =
    ScriptSink::most_written([](char* out) { return put_write_index_command(out, -1); });
static_assert(kStringCommandRoom >=
              ScriptSink::most_written([](char* out) { return put_write16_command(out, -1); }));

// Before each later string: its position and the commands that rewrite the block's offset
// table entry at image offset `entry`, then an empty line.
constexpr char* put_string_head(char* out, int linear, int offset, int entry) {
  out = put_position_comment(out, linear, offset);
  out = put_write_index_command(ScriptSink::put<"\n">(out), entry);
  return ScriptSink::put<"\n", kWritePointer, "\n\n">(out);
}
inline constexpr std::size_t kStringHeadRoom =
    ScriptSink::most_written([](char* out) { return put_string_head(out, -1, -1, -1); });
static_assert(kStringHeadRoom >= ScriptSink::most_written([](char* out) {
                return put_first_string_head(out, -1, -1);
              }));

// Before a string of a region section: an empty line, its position, and "#W16($%X)", which
// points the string at its own image offset.
constexpr char* put_region_string_head(char* out, int linear, int offset) {
  out = put_position_comment(ScriptSink::put<"\n">(out), linear, offset);
  out = put_write16_command(ScriptSink::put<"\n">(out), offset);
  return ScriptSink::put<"\n">(out);
}
inline constexpr std::size_t kRegionStringHeadRoom =
    ScriptSink::most_written([](char* out) { return put_region_string_head(out, -1, -1); });

// "[FILE] %06X-%06X [%X]": a block's span as linear addresses and twice its index number. It
// closes the block's section and is the block's progress line.
constexpr char* put_file_line(char* out, int start, int end, int twice_index) {
  out = ScriptSink::put_hex(ScriptSink::put<"[FILE] ">(out), static_cast<std::uint32_t>(start), 6);
  out = ScriptSink::put_hex(ScriptSink::put<"-">(out), static_cast<std::uint32_t>(end), 6);
  out = ScriptSink::put_hex(ScriptSink::put<" [">(out), static_cast<std::uint32_t>(twice_index));
  return ScriptSink::put<"]">(out);
}
inline constexpr std::size_t kFileLineRoom =
    ScriptSink::most_written([](char* out) { return put_file_line(out, -1, -1, -1); });

// A block section's closing lines: "//" and the file line, then the separator.
void write_block_footer(ScriptSink& script, std::string_view file_line);

// A region section's opening: the separator, "//" and "#JMP($%X,$%X)" into the bank's free
// space (image offsets, for the inserter).
void write_region_opening(ScriptSink& script, int free_start, int free_end);
