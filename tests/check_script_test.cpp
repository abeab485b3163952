// CHECK_SCRIPT on the sample image: its fresh script, then copies with edits of each kind.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/expected_text.h"
#include "support/image_builder.h"
#include "support/process.h"

namespace {

struct Edit {
  std::string from;
  std::string to;
  bool last = false;  // the last place `from` is found, else the first
};

struct Case {
  const char* name;
  std::vector<Edit> edits;  // to the script, whose line ends are CR LF
  std::string table_lines;  // added to the sample's table
  std::string out;
  int exit_status;
};

std::string edited(std::string script, const std::vector<Edit>& edits) {
  for (const Edit& edit : edits) {
    const std::size_t at = edit.last ? script.rfind(edit.from) : script.find(edit.from);
    if (at == std::string::npos) {
      ADD_FAILURE() << "not in the script: " << edit.from;
      continue;
    }
    script.replace(at, edit.from.size(), edit.to);
  }
  return script;
}

TEST(CheckScript, fresh_script_gives_only_the_summary_and_each_edit_its_line) {
#ifndef SAMPLE_MAKER_EXE
  GTEST_SKIP() << "the sample image maker is not built";
#else
  TempFolder f;
  ASSERT_EQ(run_process(SAMPLE_MAKER_EXE, {f.path()}, f.path()).exit_status, 0);
  ASSERT_EQ(run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "sample.rom"}, f.path()).exit_status, 0);
  const std::string fresh = read_file(f / "text/script.txt");
  const std::string table = read_file(f / "table/table_dump.txt");
  const std::string all_well =
      "\n[SUMMARY] 59 strings: 59 as dumped, 0 edited (+0 bytes), 0 not given back, 0 cannot be "
      "encoded";

  const Case cases[] = {
      {"fresh", {}, "", all_well, 0},
      {"one of each",
       {{"Maybe tomorrow.[END]", "Perhaps tomorrow![END]"},
        {"Someone is at the door.", "Someone is at the door~"},
        {"Three tins of beans.[end]", "Three tins of beans.[end] "},
        {"\r\nLow water at noon.", "\r\n#Low water at noon."},
        {"[br]\r\nBring in the nets.", "[br]\r\n//Bring in the nets."},
        {"Dawn at[end]", "Dawn at", true},
        {"#W16($1404)", "#W16($1405)"},
        {"Fetch more wood.[end]", "Fetch more wood![END]"},
        {"Dear [hero], we miss you.[end]", "Dear [hero], we miss you."},
        {"//The boat is late.", "//The boat is early."},
        {"#JMP($3944F,$39656)", "#JMP($3944F,$39470)"}},
       // A second code with the text of 0x0221, and lower: "é" no longer gives 0x21 back.
       "0206=\xC3\xA9\n",
       "\n[SCRIPT] line 22: the string @ 07C004 is edited in a comment, which the inserter skips"
       "\n[EDITED] line 25 @ 07C016: 16 -> 18 bytes"
       "\n[SCRIPT] line 90, column 23: no code for \"~[end]\""
       "\n[SCRIPT] line 108 starts with // inside the string @ 1CC015, before its end code"
       "\n[SCRIPT] line 132: the string @ 21B020 has no end code"
       "\n[EDITED] line 145 @ 30F017: 17 -> 17 bytes"
       "\n[SCRIPT] line 149: the string @ 30F017 ends with code D0 where the image has FF"
       "\n[ROUND TRIP] line 199, column 44 @ 079065: \"\xC3\xA9\xC3\xB1<$05>[shake]\""
       "\n[SCRIPT] line 302 starts with # inside the string @ 00C384, before its end code"
       "\n[SCRIPT] line 543: text after the end code"
       "\n[SCRIPT] line 591: the string @ 009404 needs the command #W16($1404)"
       "\n[SPACE] line 731: the strings after #JMP($3944F,$39470) take 35 bytes, the range holds 34"
       "\n[SCRIPT] line 828: the file ends inside the string @ 3BFFF8, before its end code"
       "\n[SUMMARY] 59 strings: 50 as dumped, 2 edited (+2 bytes), 1 not given back, 6 cannot be "
       "encoded",
       1},
      {"columns count characters, and a quote ends where a character starts",
       {{"Someone is at the door.",
         "\xC3\xA9\xC3\xA9"
         "eone is at the door~abcdefghijklm\xE2\x80\xA6"},
        {"Three tins of beans.",
         "Three tins of b\xC3\xA9"
         "ans~0123456789abcde\xC3\xA9"}},
       "60=\xC3\xA9\n",  // a code no string of the sample holds
       "\n[SCRIPT] line 90, column 22: no code for \"~abcdefghijklm\""
       "\n[SCRIPT] line 543, column 20: no code for \"~0123456789abcde\""
       "\n[SUMMARY] 59 strings: 57 as dumped, 0 edited (+0 bytes), 0 not given back, 2 cannot be "
       "encoded",
       1},
      {"a quote with no character's start keeps its 16 bytes",
       {{"Someone is at the door.", "Someone is at the door" + std::string(17, '\x80')}},
       "",
       "\n[SCRIPT] line 90, column 23: no code for "
       "\"\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\""
       "\n[SUMMARY] 59 strings: 58 as dumped, 0 edited (+0 bytes), 0 not given back, 1 cannot be "
       "encoded",
       1},
      {"a command changed, of a block's string and of a region's",
       {{"#WRITEINDEX($3C002,2)", "#WRITEINDEX($3C003,2)"}, {"#W16($1404)", "#W16($01404)"}},
       "",
       "\n[SCRIPT] line 26: the string @ 07C016 needs the command #WRITEINDEX($3C002,2)"
       "\n[SCRIPT] line 591: the string @ 009404 needs the command #W16($1404)" +
           all_well,
       1},
      {"an end code dropped with no text left: the line is the last command's",
       {{"\r\nTide table[end]\r\n", "\r\n\r\n", true}},
       "",
       "\n[SCRIPT] line 597: the string @ 00C379 has no end code"
       "\n[SUMMARY] 59 strings: 58 as dumped, 0 edited (+0 bytes), 0 not given back, 1 cannot be "
       "encoded",
       1},
      {"a first text line that starts with # as the table writes it: not a dropped end code",
       {{"Fetch more wood.[end]", "#Fetch more wood.[end]"}},
       "46=#F\n",
       "\n[SCRIPT] line 56: the string @ 058004 is edited in a comment, which the inserter skips"
       "\n[SCRIPT] line 149 starts with # inside the string @ 30F017, before its end code"
       "\n[SUMMARY] 59 strings: 58 as dumped, 0 edited (+0 bytes), 0 not given back, 1 cannot be "
       "encoded",
       1},
      {"comments edited, given back, and past the first copy that does not pair",
       {{"//The boat is late.", "//The boat is early."},
        {"//Fog rolls in.", "//Fog<$20>rolls in."},
        {"//[00E947 ~ 006947]", "//[00E947 ~ 006948]"},
        {"//Salt[br]", "//Pepper[br]"}},
       "",
       "\n[SCRIPT] line 22: the string @ 07C004 is edited in a comment, which the inserter skips" +
           all_well,
       1},
      // The region of #JMP($3944F,$39656) holds two strings of 17 and 18 bytes.
      {"a region exactly full", {{"#JMP($3944F,$39656)", "#JMP($3944F,$39471)"}}, "", all_well, 0},
      {"a region one byte over",
       {{"#JMP($3944F,$39656)", "#JMP($0003944F,$39470)"}},
       "",
       "\n[SPACE] line 731: the strings after #JMP($3944F,$39470) take 35 bytes, the range holds "
       "34" +
           all_well,
       1},
      {"a region whose end lies before its start, and the last region, before a missing string",
       {{"#JMP($3944F,$39656)", "#JMP($3944F,$3944E)"},
        {"#JMP($1DA36A,$1DB56D)", "#JMP($1DA36A,$1DA36A)"},
        {"//[3BFFF8 ~ 1DFFF8]\r\n#W16", "//[3BFFF8 ~ 1DFFF8]\r\n#W17", true}},
       "",
       "\n[SPACE] line 731: the strings after #JMP($3944F,$3944E) take 35 bytes, the range holds 0"
       "\n[SPACE] line 815: the strings after #JMP($1DA36A,$1DA36A) take 21 bytes, the range holds "
       "1"
       "\n[SCRIPT] the string @ 3BFFF8 is missing"
       "\n[SUMMARY] 58 strings: 58 as dumped, 0 edited (+0 bytes), 0 not given back, 0 cannot be "
       "encoded",
       1},
      {"regions not checked, with an unencodable string or cut short by a mismatch, after one "
       "checked at its end before the mismatch",
       {{"#JMP($583D,$650E)", "#JMP($583D,$583D)"},
        {"#JMP($3944F,$39656)", "#JMP($3944F,$3944F)"},
        {"The lamp is lit.[end]", "The lamp is lit~[end]", true},
        {"#JMP($85BAA,$86521)", "#JMP($85BAA,$85BAA)"},
        {"//[10A004 ~ 082004]\r\n#W16", "//[10A005 ~ 082004]\r\n#W16"}},
       "",
       "\n[SPACE] line 588: the strings after #JMP($583D,$583D) take 194 bytes, the range holds 1"
       "\n[SCRIPT] line 735, column 16: no code for \"~[end]\""
       "\n[SCRIPT] line 755: the image has the string @ 10A004 here"
       "\n[SUMMARY] 50 strings: 49 as dumped, 0 edited (+0 bytes), 0 not given back, 1 cannot be "
       "encoded",
       1},
      {"a string missing at the end",
       {{"//[3BFFF8 ~ 1DFFF8]\r\n#W16", "//[3BFFF8 ~ 1DFFF8]\r\n#W17", true}},
       "",
       "\n[SCRIPT] the string @ 3BFFF8 is missing"
       "\n[SUMMARY] 58 strings: 58 as dumped, 0 edited (+0 bytes), 0 not given back, 0 cannot be "
       "encoded",
       1},
      {"another string in its place",
       {{"//[07C016 ~ 03C016]", "//[07C016 ~ 03C017]"}},
       "",
       "\n[SCRIPT] line 25: the image has the string @ 07C016 here"
       "\n[SUMMARY] 0 strings: 0 as dumped, 0 edited (+0 bytes), 0 not given back, 0 cannot be "
       "encoded",
       1},
      {"a string the image does not have",
       {{"Dawn at[end]\r\n", "Dawn at[end]\r\n//[3C0000 ~ 1E0000]\r\n#W16($1E0000)\r\nx\r\n",
         true}},
       "",
       "\n[SCRIPT] line 826: the image has no further string" + all_well,
       1},
      // Faults that once got through the suite, each with the edit that shows it.
      // A table text beats a bracketed form of the same length.
      {"a table text spelled as a code form",
       {{"Maybe tomorrow.[END]", "Maybe<CODE FF> tomorrow.[END]"}},
       "7E=<CODE FF>\n",
       "\n[EDITED] line 25 @ 07C016: 16 -> 17 bytes"
       "\n[SUMMARY] 59 strings: 58 as dumped, 1 edited (+1 bytes), 0 not given back, 0 cannot be "
       "encoded",
       0},
      // Encoding resumed after the tokens foreseen starts at its column on that line only.
      {"a text that starts another's", {}, "7E=uX\n", all_well, 0},
      // The parameter FF of a parameter control has its own text.
      {"a text for parameter FF",
       {{"?[pause]<$1E>", "?[long pause][pause]<$1E>"}},
       "F0FF=[long pause]\n",
       "\n[EDITED] line 187 @ 079042: 35 -> 37 bytes"
       "\n[SUMMARY] 59 strings: 58 as dumped, 1 edited (+2 bytes), 0 not given back, 0 cannot be "
       "encoded",
       0},
      // A bracketed form needs its closing '>'.
      {"a bracketed form closed wrongly",
       {{"Maybe tomorrow.[END]", "Maybe<$41] tomorrow.[END]"}},
       "",
       "\n[SCRIPT] line 29, column 6: no code for \"<$41] tomorrow.[\""
       "\n[SUMMARY] 59 strings: 58 as dumped, 0 edited (+0 bytes), 0 not given back, 1 cannot be "
       "encoded",
       1},
      // The last line needs no line end.
      {"no line end at the end",
       {{"Dawn at[end]\r\n\r\n\r\n", "Dawn at[end]", true}},
       "",
       all_well,
       0},
      // A position line is nothing but its numbers.
      {"text after a position line",
       {{"//[07C016 ~ 03C016]", "//[07C016 ~ 03C016] checked"}},
       "",
       "\n[SCRIPT] line 42: the image has the string @ 07C016 here"
       "\n[SUMMARY] 0 strings: 0 as dumped, 0 edited (+0 bytes), 0 not given back, 0 cannot be "
       "encoded",
       1},
      // The linear address is compared, not only the image offset.
      {"another linear address",
       {{"//[07C016 ~ 03C016]", "//[07C017 ~ 03C016]"}},
       "",
       "\n[SCRIPT] line 25: the image has the string @ 07C016 here"
       "\n[SUMMARY] 0 strings: 0 as dumped, 0 edited (+0 bytes), 0 not given back, 0 cannot be "
       "encoded",
       1},
      // A string not given back alone sets exit status 1.
      {"only a string not given back",
       {},
       "0206=\xC3\xA9\n",
       "\n[ROUND TRIP] line 199, column 44 @ 079065: \"\xC3\xA9\xC3\xB1<$05>[shake]\""
       "\n[SUMMARY] 59 strings: 58 as dumped, 0 edited (+0 bytes), 1 not given back, 0 cannot be "
       "encoded",
       1},
      // The growth of every edited string is added up.
      {"two edits that grow",
       {{"Maybe tomorrow.[END]", "Perhaps tomorrow![END]"},
        {"Someone is at the door.", "Someone is at the door, Bob."}},
       "",
       "\n[EDITED] line 25 @ 07C016: 16 -> 18 bytes"
       "\n[EDITED] line 86 @ 10881A: 24 -> 29 bytes"
       "\n[SUMMARY] 59 strings: 57 as dumped, 2 edited (+7 bytes), 0 not given back, 0 cannot be "
       "encoded",
       0},
      // Text after the end code on a string's second line is reported on that line.
      {"text after the end code on a second line",
       {{"[wait]Wind rises.[END]", "[wait]Wind rises.[END]x"}},
       "",
       "\n[SCRIPT] line 184: text after the end code"
       "\n[SUMMARY] 59 strings: 58 as dumped, 0 edited (+0 bytes), 0 not given back, 1 cannot be "
       "encoded",
       1},
      // Columns on a later line count from after its CR LF.
      {"a lower code for a character",
       {},
       "01=W\n",
       "\n[ROUND TRIP] line 184, column 7 @ 07901B: \"Wind rises.[END]\""
       "\n[ROUND TRIP] line 327, column 4 @ 00CC24: \"Wind the clock.[\""
       "\n[ROUND TRIP] line 592, column 1 @ 009404: \"Welcome to Gull \""
       "\n[ROUND TRIP] line 763, column 1 @ 10B2CE: \"Workshop[end]\""
       "\n[SUMMARY] 59 strings: 55 as dumped, 0 edited (+0 bytes), 4 not given back, 0 cannot be "
       "encoded",
       1},
      // The first token where encoding resumes is compared too.
      {"a text longer than a character",
       {},
       "7F=Th\n",
       "\n[ROUND TRIP] line 257, column 1 @ 3C0000: \"The end.[end]\""
       "\n[ROUND TRIP] line 543, column 1 @ 10A00B: \"Three tins of be\""
       "\n[ROUND TRIP] line 735, column 1 @ 07900A: \"The lamp is lit.\""
       "\n[ROUND TRIP] line 741, column 1 @ 07C004: \"The boat is late\""
       "\n[ROUND TRIP] line 751, column 1 @ 108804: \"The bell rings t\""
       "\n[ROUND TRIP] line 783, column 1 @ 30F004: \"The stove is col\""
       "\n[ROUND TRIP] line 819, column 1 @ 3B8104: \"The logbook is f\""
       "\n[SUMMARY] 59 strings: 52 as dumped, 0 edited (+0 bytes), 7 not given back, 0 cannot be "
       "encoded",
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write_file(f / "text/script.txt", edited(fresh, c.edits));
    write_file(f / "table/table_dump.txt", table + c.table_lines);
    const ProcessResult check = run_process(TEXTDUMP_EXE, {"CHECK_SCRIPT", "sample.rom"}, f.path());
    EXPECT_EQ(check.out, c.out + "\n");  // the console ends its last line
    EXPECT_EQ(check.err, "");
    EXPECT_EQ(check.exit_status, c.exit_status);
  }

  // Saved by an editor with LF alone, the script reads the same; no script is an error.
  write_file(f / "table/table_dump.txt", table);
  write_file(f / "text/script.txt", lf_only(fresh));
  EXPECT_EQ(run_process(TEXTDUMP_EXE, {"CHECK_SCRIPT", "sample.rom"}, f.path()).out,
            all_well + "\n");
  std::filesystem::remove(f / "text/script.txt");
  const ProcessResult none = run_process(TEXTDUMP_EXE, {"CHECK_SCRIPT", "sample.rom"}, f.path());
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err, "ERROR - cannot open text//script.txt\n");
  EXPECT_EQ(none.exit_status, 255);
#endif
}

// A string that runs to its window's end is checked with the bytes the decoder read past it:
// here the parameter of F0 and the end code, both 0xFF.
TEST(CheckScript, string_cut_by_the_window_end_counts_the_bytes_read_past_it) {
  ImageBuilder image;
  Bytes cut(65530, 0x41);  // from window offset 5 to the window's last byte, F0
  cut.push_back(0xF0);
  image.place(0x10, 0xA000, make_block({Bytes{0xFF}, cut}));  // a block of the fixed list
  TempFolder f;
  ASSERT_TRUE(image.save(f / "image.rom"));
  std::filesystem::create_directory(f / "table");
  std::filesystem::create_directory(f / "text");
  write_file(f / "table/table_dump.txt", "41=A\n42=B\nF0=[pause]\nFF=[end]\n");
  const ProcessResult dump = run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "image.rom"}, f.path());
  ASSERT_EQ(dump.exit_status, 0);
  EXPECT_NE(dump.out.find("\n[FILE] 10A000-11A000 [0]\n"), std::string::npos) << dump.out;
  const std::string fresh = read_file(f / "text/script.txt");
  const std::string text = std::string(65530, 'A') + "[pause]<$FF>[end]\r\n";
  ASSERT_NE(fresh.find("#WRITE(PtrTable)\r\n\r\n" + text), std::string::npos);
  std::string one_edit = text;
  one_edit[0] = 'B';
  write_file(f / "text/script.txt", edited(fresh, {{text, one_edit}}));
  const ProcessResult check = run_process(TEXTDUMP_EXE, {"CHECK_SCRIPT", "image.rom"}, f.path());
  EXPECT_NE(check.out.find("@ 10A005: 65533 -> 65533 bytes\n"), std::string::npos) << check.out;
  EXPECT_EQ(check.exit_status, 0);
}

// AddressSanitizer reserves far more address space than any limit below.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// Under a limit of 64 MiB of address space: 10 MB of empty lines inside a string cost nothing
// (they are not kept), while a line of 10 MB, which the check must hold, runs out of memory,
// and that ends the run with a message, not a crash.
TEST(CheckScript, memory_does_not_grow_with_empty_lines_and_running_out_is_an_error) {
#if !defined(SAMPLE_MAKER_EXE) || defined(_WIN32)
  GTEST_SKIP() << "needs the sample image maker and a POSIX shell's ulimit";
#else
  if (kAddressSanitizer) GTEST_SKIP() << "AddressSanitizer cannot run under an address limit";
  TempFolder f;
  ASSERT_EQ(run_process(SAMPLE_MAKER_EXE, {f.path()}, f.path()).exit_status, 0);
  ASSERT_EQ(run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "sample.rom"}, f.path()).exit_status, 0);
  const std::string fresh = read_file(f / "text/script.txt");
  const std::string limited = "ulimit -v 65536 && exec \"$0\" CHECK_SCRIPT sample.rom";

  write_file(f / "text/script.txt",
             edited(fresh, {{"Maybe tomorrow.[END]\r\n",
                             "Maybe tomorrow.[END]\r\n" + std::string(10'000'000, '\n')}}));
  const ProcessResult blank = run_process("/bin/sh", {"-c", limited, TEXTDUMP_EXE}, f.path());
  EXPECT_EQ(blank.out,
            "\n[SUMMARY] 59 strings: 59 as dumped, 0 edited (+0 bytes), 0 not given back, 0 "
            "cannot be encoded\n");
  EXPECT_EQ(blank.err, "");
  EXPECT_EQ(blank.exit_status, 0);

  write_file(f / "text/script.txt",
             edited(fresh, {{"Maybe tomorrow.", "Maybe " + std::string(10'000'000, 'x')}}));
  const ProcessResult huge = run_process("/bin/sh", {"-c", limited, TEXTDUMP_EXE}, f.path());
  EXPECT_EQ(huge.out, "");
  EXPECT_EQ(huge.err, "ERROR - out of memory\n");
  EXPECT_EQ(huge.exit_status, 255);
#endif
}

}  // namespace
