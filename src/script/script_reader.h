#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The strings an edited script gives the inserter to write, read back in file order:
//   a position line, a line that starts with "#WRITEINDEX(", then the line "#WRITE(PtrTable)";
//   or a position line, then a line that starts with "#W16(".
// A position line is exactly "//[" hex " ~ " hex "]", each hex of six or more upper-case
// digits. Any other position line (a block's first string, written as a comment) is passed
// over.
//
// The file is split at each LF; a CR right before an LF is not part of the line, so a script
// saved with LF alone reads the same. A last LF ends the last line without starting another.
// Lines are numbered from 1, in 64 bits.
//
// A block's first string is written as a comment copy, which is read on its own: a position
// line, then an empty line, then one or more lines that start with "//", up to the first line
// that does not. Its text is those lines, each without its "//".
struct ScriptString {
  // How the text ends: at a line that starts with "#" (a command) or "//" (a comment), or at
  // the end of the file.
  enum class Cut { kCommand, kComment, kEndOfFile };

  std::int64_t position_line = 0;
  // The two numbers of the position line; a number too large for any address keeps a value
  // no address has.
  std::uint64_t linear = 0;
  std::uint64_t offset = 0;
  // The line after the position line ("#WRITEINDEX(..." or "#W16(..."), as it stands, and the
  // number of the string's last command line. Not set for a comment copy.
  std::string command;
  std::int64_t last_command_line = 0;
  // The last line that starts with "#JMP(" outside any string, met on the way from the
  // previous string to this one's position line (or to the end of the file, when next()
  // finds no further string), and its number; 0 if none. Not set for a comment copy.
  std::string jump;
  std::int64_t jump_line = 0;
  // The lines after the commands up to the cut that are not empty, and the number of each:
  // empty lines are not kept. Valid until the next string is read.
  std::int64_t first_line = 0;  // the first of `line_numbers`, or `cut_line` if none
  std::vector<std::string_view> lines;
  std::vector<std::int64_t> line_numbers;
  Cut cut = Cut::kEndOfFile;
  std::int64_t cut_line = 0;  // the number of lines plus 1 at the end of the file

  // The number of line `index` of the text, as TextPlace counts them.
  std::int64_t line_number(int index) const {
    return lines.empty() ? first_line : line_numbers[static_cast<std::size_t>(index)];
  }
};

// The two numbers of a position line, if `line` (without its line end) is one.
bool read_position_line(std::string_view line, std::uint64_t& linear, std::uint64_t& offset);

// Where the script's bytes come from, in pieces.
class ScriptSource {
 public:
  // Up to `room` further bytes into `into`; 0 at the end. Tell a failed read apart yourself.
  virtual std::size_t read(char* into, std::size_t room) = 0;

 protected:
  ~ScriptSource() = default;
};

// Reads the script as it goes, in a buffer that holds the lines of the string being read that
// are not empty and the bytes after them: a script of many MiB costs no more memory than its
// longest string.
class ScriptReader {
 public:
  explicit ScriptReader(ScriptSource& source);
  // Reads a script held whole in memory, which must outlive the reader, where it lies: the
  // lines it gives are views into it.
  explicit ScriptReader(std::string_view whole);

  // The next string, into `string` (its line list keeps its room). False when none is left.
  bool next(ScriptString& string);
  // The next comment copy instead, into `copy`, every line of it kept; its `cut` is kComment,
  // or kEndOfFile. The reading goes on at the line after its position line, as next() does
  // after a position line without commands. Read a script for one or the other, not both.
  bool next_comment_copy(ScriptString& copy);

  // The start of the first line not yet read for good: what follows it may still be read.
  const char* read_up_to() const { return held_ ? held_line_.data() : scan_; }

 private:
  static constexpr std::size_t kFirstRoom = 1 << 16;

  // The next line, its CR before the LF left off; a null view at the end of the file. The
  // bytes before the scan may be dropped meanwhile, but for the lines in `kept_lines_`, which
  // move. Lines are read on only when none is held, so a held line never moves.
  std::string_view take_line();
  void refill();
  // Passes over the lines that do not start as a position line, up to one that may be one or
  // to the last line: the search for comment copies looks no further into most lines.
  void pass_over_other_lines();

  ScriptSource* source_;  // null for a script held whole
  std::unique_ptr<char[]> buffer_;
  std::size_t room_ = kFirstRoom;
  const char* scan_;    // where the next line starts
  const char* filled_;  // the end of what was read
  // Where the reading goes back to, if set: the bytes from there on stay, in one piece.
  const char* rewind_to_ = nullptr;
  bool source_done_ = false;
  std::int64_t lines_read_ = 0;
  // A line read while looking for the end of a text or for a command, which the next search
  // starts with.
  bool held_ = false;
  std::string_view held_line_;
  std::vector<std::string_view>* kept_lines_ = nullptr;  // the text being read
};
