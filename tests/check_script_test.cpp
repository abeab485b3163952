// CHECK_SCRIPT on the sample image: its fresh script, then copies with edits of each kind.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/expected_text.h"
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
        {"Dawn at[end]", "Dawn at", true}},
       // A second code with the text of 0x0221, and lower: "é" no longer gives 0x21 back.
       "0206=\xC3\xA9\n",
       "\n[EDITED] line 25 @ 07C016: 16 -> 18 bytes"
       "\n[SCRIPT] line 90, column 23: no code for \"~[end]\""
       "\n[SCRIPT] line 108 starts with // inside the string @ 1CC015, before its end code"
       "\n[ROUND TRIP] line 199, column 44 @ 079065: \"\xC3\xA9\xC3\xB1<$05>[shake]\""
       "\n[SCRIPT] line 302 starts with # inside the string @ 00C384, before its end code"
       "\n[SCRIPT] line 543: text after the end code"
       "\n[SCRIPT] line 828: the file ends inside the string @ 3BFFF8, before its end code"
       "\n[SUMMARY] 59 strings: 52 as dumped, 1 edited (+2 bytes), 1 not given back, 5 cannot be "
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
