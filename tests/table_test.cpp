#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstddef>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "driver/table_file.h"
#include "support/captured_file.h"
#include "support/process.h"
#include "table/table_diagnostics.h"
#include "table/table_parser.h"
#include "table/text_table.h"

namespace {

using namespace std::string_literals;

// The defined entries of a table, code to text: what a test expects to find and nothing else.
using Entries = std::map<int, std::string>;

struct TableCase {
  std::string name;
  std::string file;
  Entries expected;
};

Entries defined_entries(const TextTable& table) {
  Entries entries;
  for (int code = 0; code < TextTable::kCodes; ++code)
    if (table.defined(code)) entries[code] = std::string(table.text(code));
  return entries;
}

void feed_in_chunks(TextTable& table, std::string_view file, std::size_t chunk,
                    TableObserver* observer) {
  TableParser parser(table, observer);
  for (std::size_t at = 0; at < file.size(); at += chunk) parser.feed(file.substr(at, chunk));
  parser.finish();
}

Entries parse_in_chunks(std::string_view file, std::size_t chunk,
                        TableObserver* observer = nullptr) {
  auto table = std::make_unique<TextTable>();
  feed_in_chunks(*table, file, chunk, observer);
  return defined_entries(*table);
}

// A file reaches the parser in reads of any size, so every case is fed whole, byte by byte,
// and in chunks that split CR LF pairs, the byte-order mark and 255-character pieces.
constexpr std::size_t kChunks[] = {
    std::numeric_limits<std::size_t>::max(), 1, 2, 3, 7, 254, 255, 256};

void expect_tables(const std::vector<TableCase>& cases) {
  for (const TableCase& c : cases) {
    for (std::size_t chunk : kChunks) {
      SCOPED_TRACE(c.name + ", chunk " + std::to_string(chunk));
      EXPECT_EQ(parse_in_chunks(c.file, chunk), c.expected);
    }
  }
}

const std::string x39(39, 'x');

TEST(TableParser, entry_lines_set_the_code_of_their_key_to_their_value) {
  expect_tables({
      {"two-digit key", "41=A\n", {{0x41, "A"}}},
      {"four-digit key on page 1", "0141=x\n", {{0x0141, "x"}}},
      {"control with parameter", "F000=[wait]\n", {{0xF000, "[wait]"}}},
      {"six-digit key", "000041=A\n", {{0x41, "A"}}},
      {"eight-digit key", "0000FFFF=A\n", {{0xFFFF, "A"}}},
      {"lower-case hex", "ff=x\nf0a1=y\naB=z\n", {{0xFF, "x"}, {0xF0A1, "y"}, {0xAB, "z"}}},
      {"later line wins", "41=A\n41=B\n", {{0x41, "B"}}},
      {"texts that fill their room, growing and shrinking, keep apart",
       "42=" + std::string(8, 'b') + "\n41=" + std::string(8, 'a') +
           "\n41=" + std::string(16, 'a') + "\n43=" + x39 + "\n41=D\n",
       {{0x41, "D"}, {0x42, std::string(8, 'b')}, {0x43, x39}}},
      {"text grown past 8 bytes moves, leaving every other text alone",
       "41=a\n42=b\n43=c\n42=" + std::string(9, 'b') + "\n44=d\n",
       {{0x41, "a"}, {0x42, std::string(9, 'b')}, {0x43, "c"}, {0x44, "d"}}},
      {"text grown past 16 bytes moves, leaving every other text alone",
       "41=a\n42=b\n43=c\n42=" + std::string(17, 'b') + "\n44=d\n43=" + std::string(9, 'c') +
           "\n45=e\n43=" + x39 + "\n46=f\n",
       {{0x41, "a"},
        {0x42, std::string(17, 'b')},
        {0x43, x39},
        {0x44, "d"},
        {0x45, "e"},
        {0x46, "f"}}},
      {"text grown within its place leaves the next text alone",
       "41=A\n42=B\n41=AXY\n",
       {{0x41, "AXY"}, {0x42, "B"}}},
      {"41 and 0041 are one entry", "41=A\n0041=B\n", {{0x41, "B"}}},
      {"0041 and 41 are one entry", "0041=B\n41=A\n", {{0x41, "A"}}},
      {"empty value leaves the code undefined", "41=\n", {}},
      {"empty value undefines an earlier entry", "41=A\n42=B\n41=\n", {{0x42, "B"}}},
      {"single blank value", "20= \n", {{0x20, " "}}},
      {"blanks, = and <> kept", "41= a = <b> \n", {{0x41, " a = <b> "}}},
      {"bytes above 0x7F kept", "41=\xC3\xA9\x80\xFF\n", {{0x41, "\xC3\xA9\x80\xFF"}}},
      {"byte-order mark inside a value kept", "41=\xEF\xBB\xBF\n", {{0x41, "\xEF\xBB\xBF"}}},
      {"last line without a line feed", "41=A\n42=B", {{0x41, "A"}, {0x42, "B"}}},
      {"= at 2 decides over = at 4", "41=4=B\n", {{0x41, "4=B"}}},
      {"= at 4 decides over = at 6", "0041=B=C\n", {{0x41, "B=C"}}},
      {"= at 4 with no = at 2", "4142=A=B\n", {{0x4142, "A=B"}}},
      {"value that is =", "41==\n", {{0x41, "="}}},
      {"39-byte value kept whole", "41=" + x39 + "\n", {{0x41, x39}}},
      {"40-byte value cut to 39", "41=" + x39 + "y\n", {{0x41, x39}}},
      {"long value cut to 39", "41=" + x39 + std::string(100, 'y') + "\n", {{0x41, x39}}},
  });
}

TEST(TableParser, lines_that_are_not_entries_are_ignored) {
  expect_tables({
      {"comment starts", "/41=A\n*41=A\n#41=A\n;41=A\n 41=A\n\t41=A\n", {}},
      {"empty lines", "\n\n\r\n\n41=A\n\n", {{0x41, "A"}}},
      {"empty file", "", {}},
      {"no = at all", "41A\n41\n4\n", {}},
      {"= at 1", "4=A\n", {}},
      {"= at 3", "411=A\n41 =A\n", {}},
      {"= at 10", "0000000041=A\n", {}},
      {"non-hex first digit", "G1=A\n", {}},
      {"non-hex second digit", "4G=A\nzz=A\n", {}},
      {"hex prefix", "0x41=A\n", {}},
      {"blank inside the key", "4 =A\n", {}},
      {"six-digit key above FFFF", "010000=A\n", {}},
      {"key above FFFF does not wrap", "00010041=A\nFFFFFFFF=B\n", {}},
      {"ignored lines leave others alone", "G1=A\n41=B\n010041=C\n", {{0x41, "B"}}},
  });
}

TEST(TableParser, line_ends_byte_order_mark_and_end_marker_are_read_as_in_a_text_file) {
  expect_tables({
      {"CR LF line ends", "41=A\r\n42=B\r\n", {{0x41, "A"}, {0x42, "B"}}},
      {"lone CR ends the value but not the line", "41=A\rB\n42=C\n", {{0x41, "A"}, {0x42, "C"}}},
      {"text after a lone CR is no new line", "41=A\r42=B\n", {{0x41, "A"}}},
      {"CR CR LF", "41=A\r\r\n42=B\n", {{0x41, "A"}, {0x42, "B"}}},
      {"CR at the end of the file", "41=A\r", {{0x41, "A"}}},
      {"byte-order mark skipped", "\xEF\xBB\xBF"s + "41=A\n", {{0x41, "A"}}},
      {"byte-order mark and CR LF", "\xEF\xBB\xBF"s + "41=A\r\n", {{0x41, "A"}}},
      {"byte-order mark only at the start", "41=A\n\xEF\xBB\xBF"s + "42=B\n", {{0x41, "A"}}},
      {"cut byte-order mark is text", "\xEF\xBB"s + "41=A\n42=B\n", {{0x42, "B"}}},
      {"lone EF is text", "\xEF"s + "41=A\n42=B\n", {{0x42, "B"}}},
      {"cut byte-order mark before a line end", "\xEF\xBB\n41=A\n", {{0x41, "A"}}},
      {"file of a cut byte-order mark", "\xEF\xBB", {}},
      {"file of a byte-order mark", "\xEF\xBB\xBF", {}},
      {"0x1A ends the file", "41=A\n\x1A"s + "42=B\n", {{0x41, "A"}}},
      {"0x1A ends a value", "41=A\x1A"s + "\n42=B\n", {{0x41, "A"}}},
      {"0x1A after a CR", "41=A\r\x1A"s + "42=B\n", {{0x41, "A"}}},
      {"0x1A at the start", "\x1A"s + "41=A\n", {}},
      {"NUL ends the line's text", "41=A\0B\n42=C\n"s, {{0x41, "A"}, {0x42, "C"}}},
      {"NUL at the start of a line", "\0"s + "41=A\n42=C\n", {{0x42, "C"}}},
  });
}

TEST(TableParser, long_lines_are_read_in_255_character_pieces) {
  const std::string x252(252, 'x');
  expect_tables({
      {"255 characters with the line feed",
       "41=" + std::string(251, 'x') + "\n42=B\n",
       {{0x41, x39}, {0x42, "B"}}},
      {"256 characters with the line feed", "41=" + x252 + "\n42=B\n", {{0x41, x39}, {0x42, "B"}}},
      {"255 characters with CR LF as one",
       "41=" + std::string(251, 'x') + "\r\n42=B\r\n",
       {{0x41, x39}, {0x42, "B"}}},
      {"rest that is an entry line", "41=" + x252 + "42=B\n", {{0x41, x39}, {0x42, "B"}}},
      {"rest judged by its own first character", "41=" + x252 + "/42=B\n", {{0x41, x39}}},
      {"rest with = at 1 is ignored", "41=" + std::string(251, 'x') + "42=B\n", {{0x41, x39}}},
      {"lone CR counts as a character",
       "41=A\r" + std::string(250, 'y') + "42=B\n",
       {{0x41, "A"}, {0x42, "B"}}},
      {"three pieces",
       "41=" + x252 + "42=" + std::string(252, 'y') + "43=C\n",
       {{0x41, x39}, {0x42, std::string(39, 'y')}, {0x43, "C"}}},
      {"long comment with an entry in its rest",
       std::string("/") + std::string(254, '-') + "41=A\n",
       {{0x41, "A"}}},
      {"long line without a line feed", "41=" + x252 + "42=B", {{0x41, x39}, {0x42, "B"}}},
  });
}

TEST(TableParser, crlf_lf_and_byte_order_mark_forms_of_a_file_give_the_same_table) {
  const std::string lf =
      "// dump table\n41=A\n20= \n\nF000=[wait]\nFE=[br]\n0141=x\n41=B\n42=\n"
      "; last\n43=C";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? "\r\n"s : std::string(1, c);
  const Entries expected = {{0x41, "B"},    {0x20, " "},   {0xF000, "[wait]"},
                            {0xFE, "[br]"}, {0x0141, "x"}, {0x43, "C"}};
  expect_tables({
      {"LF", lf, expected},
      {"CR LF", crlf, expected},
      {"byte-order mark and LF", "\xEF\xBB\xBF" + lf, expected},
      {"byte-order mark and CR LF", "\xEF\xBB\xBF" + crlf, expected},
  });
}

// What the table's author is told, line by line: the line numbers are the file's own
// physical lines, so every piece of a long line carries its line's number.
TEST(TableDiagnostics, dropped_cut_and_overridden_lines_are_named_by_their_line_number) {
  struct Case {
    std::string name;
    std::string file;
    std::string console;
  };
  const std::string x40(40, 'x');
  const std::string x252(252, 'x');
  const Case cases[] = {
      {"well-formed lines say nothing", "// t\n41=A\n20= \n0141=" + x39 + "\n\n", ""},
      {"empty file", "", ""},
      {"each reason, the key's width judged first",
       "G1=A\n4=A\n41\nG1 =A\n0x41=A\n01000G=A\n010000=A\n00010041=B\n",
       "\n[TABLE] line 1 ignored: key is not hexadecimal"
       "\n[TABLE] line 2 ignored: no '=' after a key of 2, 4, 6 or 8 digits"
       "\n[TABLE] line 3 ignored: no '=' after a key of 2, 4, 6 or 8 digits"
       "\n[TABLE] line 4 ignored: no '=' after a key of 2, 4, 6 or 8 digits"
       "\n[TABLE] line 5 ignored: key is not hexadecimal"
       "\n[TABLE] line 6 ignored: key is not hexadecimal"
       "\n[TABLE] line 7 ignored: key above FFFF"
       "\n[TABLE] line 8 ignored: key above FFFF"},
      {"comments that other tools read as entries",
       "/FF=[end]\n*FE=\n$F0=x\n# 41=A\n#41=A\n;41=\n 41=A\n\t41=A\n//comment\n/FF\n/F=x\n"
       "/123456789=x\n/12345678=x\n-0041=\n",
       "\n[TABLE] line 1 ignored: starts with '/'"
       "\n[TABLE] line 2 ignored: starts with '*'"
       "\n[TABLE] line 3 ignored: starts with '$'"
       "\n[TABLE] line 7 ignored: starts with ' '"
       "\n[TABLE] line 8 ignored: starts with '\t'"
       "\n[TABLE] line 13 ignored: starts with '/'"
       "\n[TABLE] line 14 ignored: starts with '-'"},
      {"text cut, replaced and emptied, in that order",
       "41=A\n41=" + x40 + "\n42=B\n41=\n41=C\n0041=D\n",
       "\n[TABLE] line 2: text cut to 39 bytes"
       "\n[TABLE] line 2: replaces line 1 for code 0041"
       "\n[TABLE] line 4: replaces line 2 for code 0041"
       "\n[TABLE] line 4: empty text leaves code 0041 undefined"
       "\n[TABLE] line 5: replaces line 4 for code 0041"
       "\n[TABLE] line 6: replaces line 5 for code 0041"},
      {"dropped lines set no code", "0041=A\nG041=B\n00010041=C\n41=D\nF000=\n",
       "\n[TABLE] line 2 ignored: key is not hexadecimal"
       "\n[TABLE] line 3 ignored: key above FFFF"
       "\n[TABLE] line 4: replaces line 1 for code 0041"
       "\n[TABLE] line 5: empty text leaves code F000 undefined"},
      {"CR LF is one line end, a lone CR none", "41=A\r\n\r\nG1=A\r\n41=B\r\n42=A\rG1=x\n42\r\n",
       "\n[TABLE] line 3 ignored: key is not hexadecimal"
       "\n[TABLE] line 4: replaces line 1 for code 0041"
       "\n[TABLE] line 6 ignored: no '=' after a key of 2, 4, 6 or 8 digits"},
      {"pieces of a long line keep its number",
       "41=" + x252 + "G1=A\n/" + std::string(254, '-') + "/41=A\n41=" + x252 + "\n42\n",
       "\n[TABLE] line 1: text cut to 39 bytes"
       "\n[TABLE] line 1 ignored: key is not hexadecimal"
       "\n[TABLE] line 2 ignored: starts with '/'"
       "\n[TABLE] line 3: text cut to 39 bytes"
       "\n[TABLE] line 3: replaces line 1 for code 0041"
       "\n[TABLE] line 4 ignored: no '=' after a key of 2, 4, 6 or 8 digits"},
      {"a line of 255 characters is one piece", "41=" + std::string(251, 'x') + "\n42\n",
       "\n[TABLE] line 1: text cut to 39 bytes"
       "\n[TABLE] line 2 ignored: no '=' after a key of 2, 4, 6 or 8 digits"},
      {"a line's text ends at a NUL", "41=\0ABC\n4\0=A\n42="s + x39 + "\0yy\n\0G1=A\nG1=A\n"s,
       "\n[TABLE] line 1: empty text leaves code 0041 undefined"
       "\n[TABLE] line 2 ignored: no '=' after a key of 2, 4, 6 or 8 digits"
       "\n[TABLE] line 5 ignored: key is not hexadecimal"},
      {"byte-order mark is no character",
       "\xEF\xBB\xBF"
       "G1=A\n/41=A\n",
       "\n[TABLE] line 1 ignored: key is not hexadecimal"
       "\n[TABLE] line 2 ignored: starts with '/'"},
      {"cut byte-order mark starts a comment",
       "\xEF\xBB"
       "41=A\n42\n",
       "\n[TABLE] line 2 ignored: no '=' after a key of 2, 4, 6 or 8 digits"},
      {"0x1A ends the file",
       "G1=A\n42\x1A"
       "G2=B\n43=C\n",
       "\n[TABLE] line 1 ignored: key is not hexadecimal"
       "\n[TABLE] line 2 ignored: no '=' after a key of 2, 4, 6 or 8 digits"},
      {"last line without a line feed", "41=A\n41=B",
       "\n[TABLE] line 2: replaces line 1 for code 0041"},
      {"codes no string holds, named where an empty text would be",
       "4142=the\n0300=" + x40 +
           "\n02FF=y\nBEFF=z\nBF00=w\nF3FF=v\nF400=u\n4142=\nFFFF=a\n4142=b\n",
       "\n[TABLE] line 1: code 4142 never occurs in this encoding"
       "\n[TABLE] line 2: text cut to 39 bytes"
       "\n[TABLE] line 2: code 0300 never occurs in this encoding"
       "\n[TABLE] line 4: code BEFF never occurs in this encoding"
       "\n[TABLE] line 7: code F400 never occurs in this encoding"
       "\n[TABLE] line 8: replaces line 1 for code 4142"
       "\n[TABLE] line 8: empty text leaves code 4142 undefined"
       "\n[TABLE] line 9: code FFFF never occurs in this encoding"
       "\n[TABLE] line 10: replaces line 8 for code 4142"
       "\n[TABLE] line 10: code 4142 never occurs in this encoding"},
      {"codes of one set with one text, after the lines and by the line in effect",
       "42=A\n41=A\nF000=A\n0141=A\n0241=A\n0142=A\nBF00=B\n44=B\n0300=A\n43=C\n45=C\n43=D\n47="s +
           x40 + "\n48=" + x39 + "\n49=A\n49=\n",
       "\n[TABLE] line 9: code 0300 never occurs in this encoding"
       "\n[TABLE] line 12: replaces line 10 for code 0043"
       "\n[TABLE] line 13: text cut to 39 bytes"
       "\n[TABLE] line 16: replaces line 15 for code 0049"
       "\n[TABLE] line 16: empty text leaves code 0049 undefined"
       "\n[TABLE] line 1: code 0042 has the text of code 0041 (line 2), which the inserter takes "
       "instead"
       "\n[TABLE] line 3: code F000 has the text of code 0041 (line 2), which the inserter takes "
       "instead"
       "\n[TABLE] line 6: code 0142 has the text of code 0141 (line 4), which the inserter takes "
       "instead"
       "\n[TABLE] line 7: code BF00 has the text of code 0044 (line 8), which the inserter takes "
       "instead"
       "\n[TABLE] line 14: code 0048 has the text of code 0047 (line 13), which the inserter takes "
       "instead"},
  };
  for (const Case& c : cases) {
    for (std::size_t chunk : kChunks) {
      SCOPED_TRACE(c.name + ", chunk " + std::to_string(chunk));
      auto entry_lines = std::make_unique<EntryLines>();
      auto table = std::make_unique<TextTable>();
      CapturedFile console;
      TableDiagnostics diagnostics(console.get(), *entry_lines);
      feed_in_chunks(*table, c.file, chunk, &diagnostics);
      diagnostics.report_shared_texts(*table);
      EXPECT_EQ(console.contents(), c.console);
    }
  }
}

// A file the tool cannot read as a table must not stop the run: it is reported, and the
// table keeps what it held.
TEST(LoadTable, unreadable_table_is_reported_on_the_console_and_leaves_the_table_alone) {
  TempFolder folder;
  std::filesystem::create_directories(folder / "table/table_dump.txt");
  const std::string cases[] = {
      folder / "missing.txt",
      folder / "no_folder/table_dump.txt",
      folder / "table",
      folder / "table/table_dump.txt",
  };
  for (const std::string& path : cases) {
    SCOPED_TRACE(path);
    auto table = std::make_unique<TextTable>();
    table->set(0x41, "A");
    CapturedFile console;
    load_table(path.c_str(), *table, console.get());
    EXPECT_EQ(console.contents(), "\nTable file not found: " + path);
    EXPECT_EQ(defined_entries(*table), (Entries{{0x41, "A"}}));
  }
}

TEST(LoadTable, table_without_read_permission_is_reported_like_a_missing_one) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX permissions: on Windows chmod cannot take away the right to read";
#else
  if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
  TempFolder folder;
  const std::string path = folder / "table_dump.txt";
  write_file(path, "41=A\n");
  chmod(path.c_str(), 0);
  auto table = std::make_unique<TextTable>();
  CapturedFile console;
  load_table(path.c_str(), *table, console.get());
  EXPECT_EQ(console.contents(), "\nTable file not found: " + path);
  EXPECT_EQ(defined_entries(*table), Entries{});
#endif
}

// A file larger than one read: an entry line split between reads, a CR LF pair split
// between reads, and a last line without a line feed must all arrive whole.
TEST(LoadTable, file_longer_than_one_read_is_read_whole_and_quietly) {
  constexpr std::size_t kRead = 0x10000;
  std::string file;
  // Comment lines up to `end`, each at most 100 bytes.
  auto comments_up_to = [&file](std::size_t end) {
    while (file.size() + 100 + 2 <= end) file += std::string("#") + std::string(98, '-') + "\n";
    file += std::string("#") + std::string(end - file.size() - 2, '-') + "\n";
  };
  comments_up_to(kRead - 5);
  file += "41=A\r\n";  // CR is the last byte of the first read
  file += "42=B\n";
  comments_up_to(2 * kRead - 2);
  file += "43=C\n44=D";  // "43" straddles the second and third reads
  ASSERT_EQ(file[kRead - 1], '\r');
  ASSERT_EQ(file.substr(2 * kRead - 2, 4), "43=C");

  TempFolder folder;
  const std::string path = folder / "table_dump.txt";
  write_file(path, file);
  auto table = std::make_unique<TextTable>();
  CapturedFile console;
  load_table(path.c_str(), *table, console.get());
  EXPECT_EQ(console.contents(), "");
  EXPECT_EQ(defined_entries(*table), (Entries{{0x41, "A"}, {0x42, "B"}, {0x43, "C"}, {0x44, "D"}}));
}

}  // namespace
