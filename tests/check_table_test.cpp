// CHECK_TABLE on the sample image, whose table holds gaps and slips on purpose. The counts are
// checked against what DUMP_TEXT writes: once every missing key is given a text of its own,
// that text must turn up in the script exactly as often as the check said, first in the
// string it named.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "support/image_builder.h"
#include "support/process.h"

namespace {

const std::string kSampleCheck =
    "\n[TABLE] line 99 ignored: starts with '/'"
    "\n[TABLE] line 100 ignored: key is not hexadecimal"
    "\n[TABLE] line 101 ignored: no '=' after a key of 2, 4, 6 or 8 digits"
    "\n[TABLE] line 102 ignored: key above FFFF"
    "\n[TABLE] line 103: empty text leaves code 00F3 undefined"
    "\n[TABLE] line 104: replaces line 96 for code 00FE"
    "\n[MISSING] FA x3 first @ 079065"
    "\n[MISSING] 2A x2 first @ 00E98F"
    "\n[MISSING] 05 x1 first @ 079065"
    "\n[MISSING] C1 x1 first @ 079065"
    "\n[MISSING] CA x1 first @ 079065"
    "\n[MISSING] E0 x1 first @ 079042"
    "\n[MISSING] F3 x1 first @ 079042"
    "\n[MISSING] 0112 x1 first @ 079065"
    "\n[MISSING] 0205 x1 first @ 079065"
    "\n[SUMMARY] 39 blocks, 98 strings, 1352 tokens, 99.1% from the table";

long count_of(const std::string& text, const std::string& part) {
  long count = 0;
  for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size())
    ++count;
  return count;
}

TEST(CheckTable, names_the_sample_tables_slips_and_counts_what_the_dump_writes_without_text) {
#ifndef SAMPLE_MAKER_EXE
  GTEST_SKIP() << "the sample image maker is not built";
#else
  TempFolder f;
  ASSERT_EQ(run_process(SAMPLE_MAKER_EXE, {f.path()}, f.path()).exit_status, 0);
  write_file(f / "text/script.txt", "old script\r\n");

  const ProcessResult check = run_process(TEXTDUMP_EXE, {"CHECK_TABLE", "sample.rom"}, f.path());
  EXPECT_EQ(check.exit_status, 0);
  EXPECT_EQ(check.err, "");
  EXPECT_EQ(check.out, kSampleCheck + "\n");
  // It writes no script and needs no folder for one.
  EXPECT_EQ(read_file(f / "text/script.txt"), "old script\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f / "text"), {}), 1);
  std::filesystem::remove_all(f / "text");
  EXPECT_EQ(run_process(TEXTDUMP_EXE, {"CHECK_TABLE", "sample.rom"}, f.path()).out,
            kSampleCheck + "\n");
  EXPECT_FALSE(file_exists(f / "text"));

  // Give each missing key a text of its own and dump.
  const std::regex missing_line(R"(\[MISSING\] ([0-9A-F]+) x(\d+) first @ ([0-9A-F]{6}))");
  std::string table = read_file(f / "table/table_dump.txt");
  for (std::sregex_iterator m(kSampleCheck.begin(), kSampleCheck.end(), missing_line), end;
       m != end; ++m)
    table += (*m)[1].str() + "={" + (*m)[1].str() + "}\n";
  table += "0206=\xC3\xA9\n";  // unused in the sample, and lower than 0221, whose text it has
  write_file(f / "table/table_dump.txt", table);
  std::filesystem::create_directory(f / "text");
  const ProcessResult dump = run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "sample.rom"}, f.path());
  ASSERT_EQ(dump.exit_status, 0);
  const std::string script = read_file(f / "text/script.txt");

  const std::regex position(R"(//\[([0-9A-F]{6,}) ~ )");
  for (std::sregex_iterator m(kSampleCheck.begin(), kSampleCheck.end(), missing_line), end;
       m != end; ++m) {
    const std::string key = (*m)[1].str();
    SCOPED_TRACE(key);
    const std::size_t first = script.find("{" + key + "}");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(count_of(script, "{" + key + "}"), std::stol((*m)[2].str()));
    std::string string_at;  // the position comment of the string that holds it
    for (std::sregex_iterator p(script.begin(), script.begin() + first, position); p != end; ++p)
      string_at = (*p)[1].str();
    EXPECT_EQ(string_at, (*m)[3].str());
  }
  EXPECT_EQ(count_of(dump.out, "\n[FILE] "), 39);
  EXPECT_EQ(std::distance(std::sregex_iterator(script.begin(), script.end(), position), {}), 98);
  // The same tokens, now every one from the table, after the table's last line of its own.
  const std::string again = run_process(TEXTDUMP_EXE, {"CHECK_TABLE", "sample.rom"}, f.path()).out;
  EXPECT_TRUE(again.ends_with(
      "\n[TABLE] line 84: code 0221 has the text of code 0206 (line 114), which the inserter takes "
      "instead\n[SUMMARY] 39 blocks, 98 strings, 1352 tokens, 100.0% from the table\n"))
      << again;
#endif
}

// A table saved as UTF-16 yields no entry; every command that reads it says so before
// anything else, and goes on.
TEST(CheckTable, table_in_utf16_is_named_first) {
  for (const std::string mark : {"\xFF\xFE", "\xFE\xFF"}) {
    TempFolder f;
    write_file(f / "image.rom", "");
    std::filesystem::create_directory(f / "table");
    std::filesystem::create_directory(f / "text");
    write_file(f / "table/table_dump.txt", mark + std::string("4\0001\000=\000A\000\n\000", 10));
    for (const char* word : {"CHECK_TABLE", "DUMP_TEXT", "CHECK_SCRIPT"}) {
      SCOPED_TRACE(testing::PrintToString(mark) + " " + word);
      const ProcessResult r = run_process(TEXTDUMP_EXE, {word, "image.rom"}, f.path());
      EXPECT_EQ(r.exit_status, 0);
      EXPECT_EQ(r.err, "");
      EXPECT_TRUE(r.out.starts_with("\n[TABLE] the file is UTF-16: save it as UTF-8\n[")) << r.out;
    }
  }
}

// Code 00 is a character like any other: without a text of its own it is missing.
TEST(CheckTable, counts_code_00_like_any_other_code) {
  ImageBuilder image;
  image.place(0x10, 0xA000, make_block({Bytes{0x00, 0x41, 0x00, 0xFF}}));  // a fixed block
  struct Row {
    const char* table;
    const char* missing_00;  // the report's line for code 00, or null for none
  };
  const Row rows[] = {
      {"41=A\n", "\n[MISSING] 00 x4 first @ 10A002"},
      {"41=A\n00=_\n", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.table);
    TempFolder f;
    image.save(f / "image.rom");
    std::filesystem::create_directory(f / "table");
    write_file(f / "table/table_dump.txt", row.table);
    const ProcessResult check = run_process(TEXTDUMP_EXE, {"CHECK_TABLE", "image.rom"}, f.path());
    EXPECT_EQ(check.exit_status, 0);
    if (row.missing_00 != nullptr) {
      EXPECT_NE(check.out.find(row.missing_00), std::string::npos) << check.out;
    } else {
      EXPECT_EQ(check.out.find("[MISSING] 00 "), std::string::npos) << check.out;
    }
  }
}

}  // namespace
