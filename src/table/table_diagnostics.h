#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "table/table_parser.h"
#include "table/text_table.h"

// For each code, the number of the last entry line that set it; 0 for none yet.
using EntryLines = std::array<std::uint32_t, TextTable::kCodes>;

// Tells a table's author, line by line in file order, which lines the parser dropped and
// why, and what the lines it took did beyond setting their code:
//   "\n[TABLE] line N ignored: REASON"
//   "\n[TABLE] line N: text cut to 39 bytes"
//   "\n[TABLE] line N: replaces line M for code XXXX"
//   "\n[TABLE] line N: empty text leaves code XXXX undefined"
//   "\n[TABLE] line N: code XXXX never occurs in this encoding"
// and, before all of them, a file that is not in a byte encoding at all:
//   "\n[TABLE] the file is UTF-16: save it as UTF-8"
inline constexpr char kUtf16TableLine[] = "\n[TABLE] the file is UTF-16: save it as UTF-8";

class TableDiagnostics : public TableObserver {
 public:
  // `entry_lines` must be all 0 at start.
  TableDiagnostics(std::FILE* console, EntryLines& entry_lines)
      : console_(console), entry_lines_(entry_lines) {}

  void line_read(std::uint32_t number, std::string_view text, const TableLine& line) override;
  void file_is_utf16() override;

  // Once the file is read into `table`, in the order of the lines in effect: each code whose
  // text a lower code of its set has, which the inserter takes in its place:
  //   "\n[TABLE] line N: code XXXX has the text of code YYYY (line M), which the inserter
  //    takes instead"
  void report_shared_texts(const TextTable& table);

  // True once any line was written.
  bool reported() const { return reported_; }

 private:
  void report_entry(std::uint32_t number, const TableLine& line);
  [[gnu::format(printf, 2, 3)]] void say(const char* format, ...);

  std::FILE* console_;
  EntryLines& entry_lines_;
  bool reported_ = false;
};
