#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "table/text_table.h"

// How the parser judged one line of the table file (one 255-character piece of a longer
// line). Only lines that start with an ASCII letter or digit are entry lines; the others
// are comments.
struct TableLine {
  enum class Kind {
    kComment,
    kEntry,       // `code` and `value` are set
    kNoKeyWidth,  // no `=` at position 2, 4, 6 or 8
    kKeyNotHex,
    kKeyAboveFFFF,
  };
  Kind kind = Kind::kComment;
  int code = 0;
  std::string_view value;  // as written, before the cut to TextTable::kMaxText bytes
};

// Judges a line's text: its characters up to the first NUL, line feed included if any.
TableLine judge_table_line(std::string_view text);

// Told of every line the parser reads, in file order, after the line has been judged.
class TableObserver {
 public:
  virtual ~TableObserver() = default;
  // `number` is the 1-based physical line (a CR LF pair is one line end); every piece of a
  // long line carries its line's number. `text` is what `line` was judged from.
  virtual void line_read(std::uint32_t number, std::string_view text, const TableLine& line) = 0;
  // Told first, before any line, when the file starts as UTF-16 text does.
  virtual void file_is_utf16() {}
};

// True if `start`, the first bytes of a table file, is the byte-order mark of UTF-16 (FF FE
// or FE FF). The file is then read as any other, byte by byte, and finds almost no entry.
bool starts_as_utf16(std::string_view start);

// Reads the bytes of a table file into a TextTable, fed in chunks of any size.
//
// The file is read the way a text-mode line reader reads it: CR LF becomes LF, a lone CR
// stays, a 0x1A byte ends the file, and lines are taken in pieces of at most 255
// characters, the rest of a longer line being judged as a line of its own. An entry line
// starts with an ASCII letter or digit: a hex key of 2, 4, 6 or 8 digits whose width is
// told by the first `=` at position 2, 4, 6 or 8, then the value up to the first CR or LF.
// Every other line, and every entry line that does not parse, is ignored.
class TableParser {
 public:
  // `observer`, if given, hears of every line; without one, loading does no extra work.
  explicit TableParser(TextTable& table, TableObserver* observer = nullptr)
      : table_(table), observer_(observer) {}

  void feed(std::string_view bytes);
  // Call once at the end of the file: takes the last line if it had no line feed.
  void finish();

  static constexpr std::size_t kMaxPiece = 255;  // a CR LF pair counts as one

 private:
  enum class Bom { kStart, kSawEF, kSawBB, kDone };

  void take_raw(unsigned char c);
  void take_char(char c);
  void end_piece();

  TextTable& table_;
  TableObserver* observer_;
  std::uint32_t line_number_ = 1;  // kept only for the observer
  Bom bom_ = Bom::kStart;
  bool pending_cr_ = false;
  bool ended_ = false;
  std::array<char, kMaxPiece> piece_{};
  std::size_t piece_len_ = 0;
};
