#include "dump/dump_plan.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/dump_fixture.h"
#include "support/expected_text.h"

namespace {

using documented::kFixedBlocks;
using documented::Place;

// The file index window starts at image offset 0x198000; its 279 entries at window offset
// 0x8000, each the window offset of a record whose block pointer (address, bank) is at +37.
constexpr int kIndexWindow = 0x198000;
constexpr int kFirstEntry = kIndexWindow + 0x8000;
constexpr int kEntries = 279;
constexpr int kEmptyRecord = 0x9000;  // its pointer reads address 0, bank 0

std::string hex(const char* format, int value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

int linear(int bank, int address) {
  return bank * 0x10000 + address;
}
int offset(int bank, int address) {
  return bank * 0x8000 + address - 0x8000;
}

// The fixed block number k holds one string: the letter 'a' + k and the end code 0xFF.
std::string fixed_text(std::size_t k) {
  return hex("<$%02X>", 'a' + static_cast<int>(k)) + "<CODE FF>";
}

std::string progress_line(int start, int end, int index2) {
  return hex("\n[FILE] %06X", start) + hex("-%06X", end) + hex(" [%X]", index2);
}

// Every fixed block's progress line, in list order, except the one at `skipped` (linear).
std::string fixed_progress(int skipped = -1) {
  std::string lines;
  for (const Place& p : kFixedBlocks) {
    const int pos = linear(p.bank, p.address);
    if (pos != skipped) lines += progress_line(pos, pos + 4, 0);
  }
  return lines;
}

// An image whose file index names nothing (every entry points at a record holding 0/0), with
// a one-string block at every place of the fixed list. Tests name further blocks on top.
class PlanImage {
 public:
  PlanImage() {
    image.place_at(kIndexWindow + kEmptyRecord + 37, {0x00, 0x00, 0x00});
    for (int j = 0; j < kEntries; ++j) set_entry(j, kEmptyRecord);
    for (std::size_t k = 0; k < std::size(kFixedBlocks); ++k) {
      const Bytes text = {static_cast<std::uint8_t>('a' + k), 0xFF};
      image.place(kFixedBlocks[k].bank, kFixedBlocks[k].address, make_block({text}));
    }
  }

  void set_entry(int j, int record) {
    image.place_at(kFirstEntry + 2 * j, {static_cast<std::uint8_t>(record & 0xFF),
                                         static_cast<std::uint8_t>(record >> 8)});
  }

  // Index entry j names the block at (bank, address) through a record of its own.
  int name(int j, int bank, int address) {
    const int record = 0x0100 + 40 * records_++;  // in the index window's first half
    image.place_at(kIndexWindow + record + 37,
                   {static_cast<std::uint8_t>(address & 0xFF),
                    static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(bank)});
    set_entry(j, record);
    return record;
  }

  ImageBuilder image;

 private:
  int records_ = 0;
};

std::string fixed_block_section(std::size_t k) {
  const int pos = linear(kFixedBlocks[k].bank, kFixedBlocks[k].address);
  const int base = offset(kFixedBlocks[k].bank, kFixedBlocks[k].address);
  return hex("//[%06X", pos + 2) + hex(" ~ %06X]\n\n//", base + 2) + fixed_text(k) + "\n\n\n" +
         hex("\n//[FILE] %06X", pos) + hex("-%06X [0]\n", pos + 4) + kSlashes + "\n\n\n";
}

// The eight region sections when only the fixed blocks were dumped: each fixed block's string
// comes again in the region of its bank.
std::string fixed_only_regions() {
  std::string text;
  for (const documented::Region& region : documented::kRegions) {
    text += region_opening(region);
    for (std::size_t k = 0; k < std::size(kFixedBlocks); ++k) {
      const Place& p = kFixedBlocks[k];
      if (p.bank != region.bank) continue;
      const int at = offset(p.bank, p.address) + 2;
      text += hex("\n//[%06X", linear(p.bank, p.address) + 2) + hex(" ~ %06X]\n", at) +
              hex("#W16($%X)\n", at) + fixed_text(k) + "\n\n\n";
    }
  }
  return text;
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(DumpPlan, index_of_empty_records_dumps_only_the_fixed_blocks_and_the_regions) {
  PlanImage plan;
  DumpFixture f(plan.image);
  ASSERT_TRUE(run_dump_plan(f.ctx));
  std::string expected;
  for (std::size_t k = 0; k < std::size(kFixedBlocks); ++k) expected += fixed_block_section(k);
  expected += fixed_only_regions();
  EXPECT_EQ(f.script_text(), expected);
  EXPECT_EQ(f.console_text(), fixed_progress());
  EXPECT_FALSE(f.marked(0, MARK_DUMPED));
}

TEST(DumpPlan, block_named_twice_is_dumped_once_under_its_first_index) {
  PlanImage plan;
  plan.image.place(0x07, 0x9000, make_block({text_string("AB"), text_string("C", 0xD0)}));
  const int record = plan.name(5, 0x07, 0x9000);
  plan.name(9, 0x07, 0x9000);  // a second record with the same pointer
  plan.set_entry(12, record);  // and a second entry naming the first record
  DumpFixture f(plan.image);
  ASSERT_TRUE(run_dump_plan(f.ctx));
  EXPECT_EQ(f.console_text(), "\n[FILE] 079000-079009 [A]" + fixed_progress());
  const std::string script = f.script_text();
  EXPECT_EQ(count(script, "//[FILE] "), 26u);
  EXPECT_EQ(count(script, "//[FILE] 079000-079009 [A]\n"), 1u);
  EXPECT_EQ(count(script, "#W16($39004)"), 1u);
}

TEST(DumpPlan, fixed_block_already_named_by_the_index_keeps_the_index_number) {
  PlanImage plan;
  plan.name(17, 0x10, 0xA000);
  DumpFixture f(plan.image);
  ASSERT_TRUE(run_dump_plan(f.ctx));
  EXPECT_EQ(f.console_text(), "\n[FILE] 10A000-10A004 [22]" + fixed_progress(0x10A000));
  const std::string script = f.script_text();
  EXPECT_EQ(count(script, "//[FILE] "), 25u);
  EXPECT_EQ(count(script, "//[FILE] 10A000-10A004 [22]\n"), 1u);
  EXPECT_EQ(count(script, "10A000-10A004 [0]"), 0u);
}

// Only a pointer to address 0 of bank 0 names no block: address 0 of another bank is one.
TEST(DumpPlan, index_entry_at_address_0_of_a_nonzero_bank_is_dumped) {
  PlanImage plan;
  plan.image.place(0x05, 0x0000, make_block({text_string("AB")}));
  plan.name(3, 0x05, 0x0000);
  DumpFixture f(plan.image);
  ASSERT_TRUE(run_dump_plan(f.ctx));
  EXPECT_EQ(f.console_text(), "\n[FILE] 050000-050005 [6]" + fixed_progress());
}

struct EdgeRecord {
  const char* name;
  int record;         // window offset of the record, the pointer field at +37
  int window_offset;  // where `bytes` go in the index window
  Bytes bytes;
  int bank;  // the block the index entry then names
  int address;
  std::string console;  // what the plan prints for that block
};

TEST(DumpPlan, pointer_running_past_the_index_window_reads_its_sentinels) {
  const EdgeRecord cases[] = {
      {"pointer wholly past the window",
       0xFFDC,
       0xFFFD,
       {0x00, 0x90, 0x07},
       0xFF,
       0xFFFF,
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 100FFFF)\n[FILE] FFFFFF-100FFFF [8]"},
      {"entry FFFF puts the cursor furthest out",
       0xFFFF,
       0xFFFD,
       {0x00, 0x90, 0x07},
       0xFF,
       0xFFFF,
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 100FFFF)\n[FILE] FFFFFF-100FFFF [8]"},
      {"address on the last byte loses its low byte",
       0xFFDA,
       0xFFFF,
       {0x12},
       0xFF,
       0xFFFF,
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 100FFFF)\n[FILE] FFFFFF-100FFFF [8]"},
      {"address in the last two bytes, bank past the window",
       0xFFD9,
       0xFFFE,
       {0x00, 0x90},
       0xFF,
       0x9000,
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 1009000)\n[FILE] FF9000-1009000 [8]"},
      {"pointer ending on the last byte is read whole",
       0xFFD8,
       0xFFFD,
       {0x00, 0x90, 0x07},
       0x07,
       0x9000,
       "\n[FILE] 079000-079009 [8]"},
  };
  for (const EdgeRecord& c : cases) {
    SCOPED_TRACE(c.name);
    PlanImage plan;
    plan.image.place(0x07, 0x9000, make_block({text_string("AB"), text_string("C", 0xD0)}));
    plan.image.place_at(kIndexWindow + c.window_offset, c.bytes);
    plan.set_entry(4, c.record);
    DumpFixture f(plan.image);
    ASSERT_TRUE(run_dump_plan(f.ctx));
    EXPECT_TRUE(f.marked(linear(c.bank, c.address), MARK_DUMPED));
    EXPECT_EQ(f.console_text(), c.console + fixed_progress());
  }
}

TEST(DumpPlan, console_lists_index_blocks_in_index_order_then_the_fixed_list) {
  PlanImage plan;
  plan.image.place(0x30, 0xF000, make_block({text_string("AB")}));
  // Offsets 6, 10, 8: backwards, and the string at 10 is never reached.
  plan.image.place(0x05, 0x8000,
                   make_block({6, 10, 8}, {text_string("A"), text_string("B"), text_string("C")}));
  plan.image.place(0x07, 0x9000, make_block({text_string("AB"), text_string("C", 0xD0)}));
  plan.name(278, 0x07, 0x9000);
  plan.name(0, 0x30, 0xF000);
  plan.name(2, 0x05, 0x8000);
  plan.name(3, 0x00, 0x7000);  // before the image's start
  plan.name(4, 0x00, 0x7000);
  DumpFixture f(plan.image);
  ASSERT_TRUE(run_dump_plan(f.ctx));
  EXPECT_EQ(f.console_text(),
            "\n[FILE] 30F000-30F005 [0]"
            "\n[DUMP_LAYER2] FAIL-SAFE (backwards @ 058006)"
            "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 05800A)"
            "\n[FILE] 058000-05800A [4]"
            "\n[DUMP_LAYER2] FAIL-SAFE (bad address @ 007000)"
            "\n[DUMP_LAYER2] FAIL-SAFE (bad address @ 007000)"
            "\n[FILE] 079000-079009 [22C]" +
                fixed_progress());
  EXPECT_EQ(count(f.script_text(), "//[FILE] "), 28u);
}

}  // namespace
