#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "table/text_table.h"

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
  explicit TableParser(TextTable& table) : table_(table) {}

  void feed(std::string_view bytes);
  // Call once at the end of the file: takes the last line if it had no line feed.
  void finish();

  static constexpr std::size_t kMaxPiece = 255;  // a CR LF pair counts as one

 private:
  enum class Bom { kStart, kSawEF, kSawBB, kDone };

  void take_raw(unsigned char c);
  void take_char(char c);
  void end_piece();
  void parse_entry(std::string_view line);

  TextTable& table_;
  Bom bom_ = Bom::kStart;
  bool pending_cr_ = false;
  bool ended_ = false;
  std::array<char, kMaxPiece> piece_{};
  std::size_t piece_len_ = 0;
};
