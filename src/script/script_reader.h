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
// Lines are numbered from 1.
//
// A block's first string is written as a comment copy, which is read on its own: a position
// line, then an empty line, then one or more lines that start with "//", up to the first line
// that does not. Its text is those lines, each without its "//".
struct ScriptString {
  // How the text ends: at a line that starts with "#" (a command) or "//" (a comment), or at
  // the end of the file.
  enum class Cut { kCommand, kComment, kEndOfFile };

  int position_line = 0;
  // The two numbers of the position line; a number too large for any address keeps a value
  // no address has.
  std::uint64_t linear = 0;
  std::uint64_t offset = 0;
  // The line after the position line ("#WRITEINDEX(..." or "#W16(..."), as it stands, and the
  // number of the string's last command line. Not set for a comment copy.
  std::string command;
  int last_command_line = 0;
  // The last line that starts with "#JMP(" outside any string, met on the way from the
  // previous string to this one's position line (or to the end of the file, when next()
  // finds no further string), and its number; 0 if none. Not set for a comment copy.
  std::string jump;
  int jump_line = 0;
  // From the first line after the commands that is not empty, up to the cut; any empty lines
  // at the end included. Valid until the next string is read.
  int first_line = 0;
  std::vector<std::string_view> lines;
  Cut cut = Cut::kEndOfFile;
  int cut_line = 0;  // the number of lines plus 1 at the end of the file
};

// Where the script's bytes come from, in pieces.
class ScriptSource {
 public:
  // Up to `room` further bytes into `into`; 0 at the end. Tell a failed read apart yourself.
  virtual std::size_t read(char* into, std::size_t room) = 0;

 protected:
  ~ScriptSource() = default;
};

// Reads the script as it goes, in a buffer that holds the string being read and the bytes
// after it: a script of many MiB costs no more memory than its longest string.
class ScriptReader {
 public:
  explicit ScriptReader(ScriptSource& source);
  // Reads a script held whole in memory, which must outlive the reader, where it lies.
  explicit ScriptReader(std::string_view whole);

  // The next string, into `string` (its line list keeps its room). False when none is left.
  bool next(ScriptString& string);
  // The next comment copy instead, into `copy`; its `cut` is kComment, or kEndOfFile. The
  // reading goes on at the line after its position line, as next() does after a position
  // line without commands. Read a script for one or the other, not both.
  bool next_comment_copy(ScriptString& copy);

  // The start of the first line not yet read for good: what follows it may still be read.
  const char* read_up_to() const { return held_ ? held_line_.data() : scan_; }

 private:
  static constexpr std::size_t kFirstRoom = 1 << 16;

  // The next line, its CR before the LF left off; a null view at the end of the file. Bytes
  // before `keep_` may be dropped meanwhile, and the lines in `kept_lines_` move with the rest.
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
  const char* keep_;    // the first byte still needed
  bool source_done_ = false;
  int lines_read_ = 0;
  // A line read while looking for the end of a text or for a command, which the next search
  // starts with.
  bool held_ = false;
  std::string_view held_line_;
  std::vector<std::string_view>* kept_lines_ = nullptr;  // the text being read
};
