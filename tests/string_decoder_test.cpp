#include "decode/string_decoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/captured_file.h"
#include "support/expected_text.h"
#include "support/image_builder.h"

namespace {

using Entries = std::vector<std::pair<int, std::string>>;

const Entries kEmpty = {};
// A character, a page-1 follow byte, a parameter control with and without its own entry.
const Entries kSmall = {{0x41, "A"}, {0x0110, "x"}, {0xF0, "[w]"}, {0xF001, "[w1]"}, {0xFE, "[n]"}};
// The same byte 0x10 means something else on each page, so the page a byte was looked
// up on, and how many follow bytes a run took, show in the text.
const Entries kPages = {{0x10, "c"}, {0x0110, "x"}, {0x0210, "y"}, {0xC8, "[p2]"}};
const Entries kControls = {{0xBF, "[bf]"},  {0xF201, "[f2 01]"}, {0xD1, "[d1]"},     {0xFD, "[fd]"},
                           {0xD0, "[end]"}, {0xFF, "[END]"},     {0xF3FE, "[f3 fe]"}};

struct Decoded {
  std::string script;
  int cursor;
};

// Decodes the string at window offset `start`, with `bytes` placed there (as far as the
// window reaches) and zeros (a character, never an end code) everywhere else. `lead` bytes
// written to the script first are not returned.
Decoded decode_at(int start, const Bytes& bytes, const Entries& entries, std::size_t lead = 0) {
  auto window = std::make_unique<RomWindow>();
  auto table = std::make_unique<TextTable>();
  for (const auto& [code, text] : entries) table->set(code, text);
  auto renderings = std::make_unique<TokenRenderings>();
  renderings->build(*table);
  for (std::size_t i = 0; i < bytes.size() && start + i < RomWindow::kSize; ++i)
    window->buffer[start + i] = bytes[i];
  window->cursor = start;
  CapturedFile file;
  {
    ScriptSink script(file.get());
    script.write_plain(std::string(lead, '.'));
    decode_string(*window, *renderings, script);
  }
  return {file.contents().substr(lead), window->cursor};
}

struct Case {
  const char* name;
  const Entries& table;
  Bytes bytes;
  std::string script;  // with LF for each line break
  int cursor_after;    // from the string's start
};

void check_case(const Case& c, int start) {
  SCOPED_TRACE(c.name);
  const Decoded got = decode_at(start, c.bytes, c.table);
  EXPECT_EQ(got.script, crlf(c.script));
  EXPECT_EQ(got.cursor, start + c.cursor_after);
}

TEST(Decoder, renders_every_byte_class_through_the_table_or_its_fallback) {
  const std::vector<Case> cases = {
      // One of each kind, empty table: every code in its fallback form.
      {"character then end code", kEmpty, {0x41, 0xFF}, "<$41><CODE FF>\n\n\n", 2},
      {"run of two page-1 follow bytes",
       kEmpty,
       {0xC1, 0x10, 0x20, 0xD0},
       "<$C1><$10><$20><CODE D0>\n\n\n",
       4},
      {"parameter control without any entry",
       kEmpty,
       {0xBF, 0x05, 0xFF},
       "<CODE BF><$05><CODE FF>\n\n\n",
       3},
      {"line break goes on to the end code", kEmpty, {0xFE, 0xFF}, "<CODE FE>\n<CODE FF>\n\n\n", 2},
      // One of each kind, small table: entries for a character, a follow byte and controls.
      {"page-1 follow byte from the table",
       kSmall,
       {0x41, 0xC0, 0x10, 0xFF},
       "A<$C0>x<CODE FF>\n\n\n",
       4},
      {"parameter control with its own entry",
       kSmall,
       {0xF0, 0x01, 0xFF},
       "[w1]<CODE FF>\n\n\n",
       3},
      {"parameter control with the lead's entry only",
       kSmall,
       {0xF0, 0x02, 0xFF},
       "[w]<$02><CODE FF>\n\n\n",
       3},
      {"parameter control with no entry",
       kSmall,
       {0xF3, 0x02, 0xFF},
       "<CODE F3><$02><CODE FF>\n\n\n",
       3},
      {"line break from the table", kSmall, {0xFE, 0xFF}, "[n]\n<CODE FF>\n\n\n", 2},

      // Characters: 0x00-0xBE.
      {"lowest character", kEmpty, {0x00, 0xFF}, "<$00><CODE FF>\n\n\n", 2},
      {"highest character", kEmpty, {0xBE, 0xFF}, "<$BE><CODE FF>\n\n\n", 2},
      {"page-0 entry is not used for follow bytes",
       kPages,
       {0x10, 0xC0, 0x10, 0x10, 0xFF},
       "c<$C0>xc<CODE FF>\n\n\n",
       5},

      // Runs: the lead byte is a character, then 1-8 follow bytes on page 1 or 2.
      {"0xC0 takes one follow byte, even an end code",
       kEmpty,
       {0xC0, 0xFF, 0x41, 0xFF},
       "<$C0><$FF><$41><CODE FF>\n\n\n",
       4},
      {"0xC7 takes eight follow bytes",
       kPages,
       {0xC7, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0xFF},
       "<$C7>xxxxxxxxc<CODE FF>\n\n\n",
       11},
      {"0xC7 follow bytes that look like end codes",
       kEmpty,
       {0xC7, 0xD0, 0xD0, 0xD0, 0xD0, 0xD0, 0xD0, 0xD0, 0xD0, 0xFF},
       "<$C7><$D0><$D0><$D0><$D0><$D0><$D0><$D0><$D0><CODE FF>\n\n\n",
       10},
      {"0xC8 takes one page-2 follow byte",
       kPages,
       {0xC8, 0x10, 0x10, 0xFF},
       "[p2]yc<CODE FF>\n\n\n",
       4},
      {"0xC8 follow byte without an entry shows its raw value",
       kEmpty,
       {0xC8, 0xAB, 0xFF},
       "<$C8><$AB><CODE FF>\n\n\n",
       3},
      {"0xC9 takes two page-2 follow bytes",
       kPages,
       {0xC9, 0x10, 0x10, 0x10, 0xFF},
       "<$C9>yyc<CODE FF>\n\n\n",
       5},
      {"0xCF takes eight page-2 follow bytes",
       kPages,
       {0xCF, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0xFF},
       "<$CF>yyyyyyyyc<CODE FF>\n\n\n",
       11},

      // Single controls 0xD1-0xEF and 0xF4-0xFD take no parameter.
      {"0xD1 from the table", kControls, {0xD1, 0xFF}, "[d1][END]\n\n\n", 2},
      {"0xD1", kEmpty, {0xD1, 0xFF}, "<CODE D1><CODE FF>\n\n\n", 2},
      {"0xEF", kEmpty, {0xEF, 0xFF}, "<CODE EF><CODE FF>\n\n\n", 2},
      {"0xF4", kEmpty, {0xF4, 0xFF}, "<CODE F4><CODE FF>\n\n\n", 2},
      {"0xFD from the table", kControls, {0xFD, 0x41, 0xFF}, "[fd]<$41>[END]\n\n\n", 3},
      {"0xFD", kEmpty, {0xFD, 0xFF}, "<CODE FD><CODE FF>\n\n\n", 2},

      // Controls with a parameter: 0xBF and 0xF0-0xF3. Each takes a byte that would
      // otherwise end the string, or be a line break, as its parameter.
      {"0xBF takes an end code as its parameter",
       kEmpty,
       {0xBF, 0xFF, 0x41, 0xFF},
       "<CODE BF><$FF><$41><CODE FF>\n\n\n",
       4},
      {"0xF3 takes an end code as its parameter",
       kEmpty,
       {0xF3, 0xD0, 0x41, 0xFF},
       "<CODE F3><$D0><$41><CODE FF>\n\n\n",
       4},
      {"0xF3 with its own entry", kControls, {0xF3, 0xFE, 0xFF}, "[f3 fe][END]\n\n\n", 3},
      {"0xBF with the lead's entry", kControls, {0xBF, 0x05, 0xFF}, "[bf]<$05>[END]\n\n\n", 3},
      {"0xF0 takes an end code as its parameter",
       kEmpty,
       {0xF0, 0xFF, 0xFF},
       "<CODE F0><$FF><CODE FF>\n\n\n",
       3},
      {"0xF1 takes an end code as its parameter",
       kEmpty,
       {0xF1, 0xD0, 0xFF},
       "<CODE F1><$D0><CODE FF>\n\n\n",
       3},
      {"0xF2 with its own entry and no lead entry",
       kControls,
       {0xF2, 0x01, 0xFF},
       "[f2 01][END]\n\n\n",
       3},
      {"0xF2 other parameter, no lead entry",
       kControls,
       {0xF2, 0x02, 0xFF},
       "<CODE F2><$02>[END]\n\n\n",
       3},

      // End codes and the line break.
      {"0xD0 ends the string", kEmpty, {0x41, 0xD0, 0x41, 0xFF}, "<$41><CODE D0>\n\n\n", 2},
      {"end codes from the table", kControls, {0xD0}, "[end]\n\n\n", 1},
      {"0xFF from the table", kControls, {0xFF}, "[END]\n\n\n", 1},
      {"line break inside a string",
       kEmpty,
       {0x41, 0xFE, 0x42, 0xFE, 0xFF},
       "<$41><CODE FE>\n<$42><CODE FE>\n<CODE FF>\n\n\n",
       5},
  };
  for (const Case& c : cases) check_case(c, 0x100);
}

TEST(Decoder, string_without_end_code_is_closed_at_the_window_end) {
  const std::vector<Case> cases = {
      {"characters up to the last byte", kSmall, {0x41, 0x42}, "A<$42><CODE FF>\n\n\n", 2},
      {"line break as the last byte", kSmall, {0x41, 0xFE}, "A[n]\n<CODE FF>\n\n\n", 2},
      {"closing end code from the table", kControls, {0x41, 0x42}, "<$41><$42>[END]\n\n\n", 2},
  };
  for (const Case& c : cases) check_case(c, RomWindow::kSize - 2);

  for (int start : {0x10000, 0x10024}) {
    SCOPED_TRACE(::testing::Message() << std::hex << "cursor " << start);
    const Decoded past = decode_at(start, {}, kEmpty);
    EXPECT_EQ(past.script, crlf("<CODE FF>\n\n\n"));
    EXPECT_EQ(past.cursor, start);
  }
}

TEST(Decoder, follow_bytes_past_the_window_end_read_as_ff) {
  const std::vector<Case> cases = {
      {"run lead on the last byte", kEmpty, {0xC1}, "<$C1><$FF><$FF><CODE FF>\n\n\n", 1},
      {"run cut short by the window end", kPages, {0xC1, 0x10}, "<$C1>x<$FF><CODE FF>\n\n\n", 2},
      {"page-2 run lead on the last byte",
       kEmpty,
       {0xCF},
       "<$CF><$FF><$FF><$FF><$FF><$FF><$FF><$FF><$FF><CODE FF>\n\n\n",
       1},
      {"parameter control on the last byte", kSmall, {0xF0}, "[w]<$FF><CODE FF>\n\n\n", 1},
      {"0xBF on the last byte", kEmpty, {0xBF}, "<CODE BF><$FF><CODE FF>\n\n\n", 1},
      // The stretch of tokens read without checks stops short of the window's end.
      {"parameter control on the last byte after a long stretch", kSmall,
       [] {
         Bytes bytes(99, 0x41);
         bytes.push_back(0xF0);
         return bytes;
       }(),
       std::string(99, 'A') + "[w]<$FF><CODE FF>\n\n\n", 100},
  };
  // Each string starts so that its last byte is the window's last; the cursor ends at
  // the window's end.
  for (const Case& c : cases) check_case(c, RomWindow::kSize - static_cast<int>(c.bytes.size()));
}

TEST(Decoder, strings_that_meet_the_script_buffer_end_arrive_whole) {
  const std::string longest(TextTable::kMaxText, 'L');
  const Entries entries = {{0x41, longest}, {0x0110, longest}, {0xF001, longest}};
  Bytes bytes(150, 0x41);
  const Bytes tail = {0xC7, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0xF0, 0x01, 0xFE, 0xFF};
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  std::string expected;
  for (int i = 0; i < 150; ++i) expected += longest;
  expected += "<$C7>";
  for (int i = 0; i < 9; ++i) expected += longest;
  expected += "<CODE FE>\n<CODE FF>\n\n\n";
  // From well before the last stretch of room up to a full buffer.
  for (std::size_t lead = 0x10000 - 8000; lead <= 0x10000; lead += 13) {
    SCOPED_TRACE(::testing::Message() << "after " << lead << " bytes");
    const Decoded got = decode_at(0x100, bytes, entries, lead);
    ASSERT_EQ(got.script, crlf(expected));
  }
}

// What a table check reads from each slot: the key it stands for, and whether the table
// lacks it, at both ends of every slot range, and texts at their longest.
TEST(TokenRenderings, each_slot_knows_its_key_and_whether_it_falls_back) {
  const std::string longest(TextTable::kMaxText, 'L');
  auto table = std::make_unique<TextTable>();
  for (const auto& [code, text] : kSmall) table->set(code, text);
  table->set(0xF1, longest);
  table->set(0xFF, longest);
  auto renderings = std::make_unique<TokenRenderings>();
  renderings->build(*table);
  struct Row {
    int slot;
    int key;
    bool fallback;
    std::string text;
  };
  const std::vector<Row> rows = {
      {0x000, 0x0000, true, "<$00>"},
      {0x041, 0x0041, false, "A"},
      {0x0BF, 0x00BF, true, "<CODE BF>"},
      {0x0C0, 0x00C0, true, "<$C0>"},
      {0x0D0, 0x00D0, true, "<CODE D0>\r\n\r\n\r\n"},
      {0x0FE, 0x00FE, false, "[n]\r\n"},
      {0x0FF, 0x00FF, false, longest + "\r\n\r\n\r\n"},
      {0x110, 0x0110, false, "x"},
      {0x2FF, 0x02FF, true, "<$FF>"},
      {0x300, 0xBF00, true, "<CODE BF><$00>"},
      {0x401, 0xF001, false, "[w1]"},
      {0x402, 0xF002, true, "[w]<$02>"},
      {0x5AB, 0xF1AB, true, longest + "<$AB>"},
      {0x7FF, 0xF3FF, true, "<CODE F3><$FF>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << std::hex << "slot " << row.slot);
    EXPECT_EQ(TokenRenderings::key_of(row.slot), row.key);
    if (row.slot >= 0x300) {
      EXPECT_EQ(TokenRenderings::parameter_slot(row.key >> 8, row.key & 0xFF), row.slot);
    }
    EXPECT_EQ(renderings->fallback(row.slot), row.fallback);
    EXPECT_EQ(renderings->text(row.slot), row.text);
  }
}

}  // namespace
