#include "dump/region_dump.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "dump/block_dump.h"
#include "support/dump_fixture.h"
#include "support/expected_text.h"

namespace {

// Bank 0x07's region: its window is image 0x38000-0x47FFF, linear 0x078000-0x087FFF.
const std::string kBank07Opening = "\n" + kSlashes + "\n//\n#JMP($3944F,$39656)\n";

void define_letters(DumpFixture& f) {
  for (char c : std::string("ABCD")) f.define(c, std::string(1, c));
}

struct ScanCase {
  const char* name;
  std::vector<std::pair<std::size_t, Bytes>> bytes;  // image offset, bytes
  std::vector<std::pair<int, MarkKind>> marks;       // linear address, kind
  std::string strings;                               // what follows the opening lines
};

TEST(RegionDump, scan_writes_each_marked_first_string_it_reaches) {
  const ScanCase cases[] = {
      {"window without marks", {{0x39000, {0x41, 0x42, 0xFF}}}, {}, ""},
      {"marks other than the first-string mark are not looked for",
       {{0x39000, {0x41, 0x42, 0xFF}}},
       {{0x079000, MARK_DUMPED}, {0x079000, MARK_TARGET}},
       ""},
      {"two marked strings back to back come in image order",
       {{0x39000, {0x41, 0x42, 0xFF, 0x43, 0xD0}}},
       {{0x079003, MARK_FIRST}, {0x079000, MARK_FIRST}},
       "\n//[079000 ~ 039000]\n#W16($39000)\nAB<CODE FF>\n\n\n"
       "\n//[079003 ~ 039003]\n#W16($39003)\nC<CODE D0>\n\n\n"},
      {"a mark inside a string being written is passed over",
       {{0x39000, {0x41, 0x42, 0x43, 0x44, 0xFF, 0x43, 0xFF}}},
       {{0x079000, MARK_FIRST},
        {0x079002, MARK_FIRST},
        {0x079004, MARK_FIRST},
        {0x079005, MARK_FIRST}},
       "\n//[079000 ~ 039000]\n#W16($39000)\nABCD<CODE FF>\n\n\n"
       "\n//[079005 ~ 039005]\n#W16($39005)\nC<CODE FF>\n\n\n"},
      {"a string running off the window ends there and so does the scan",
       {{0x47FFC, {0x41, 0x42, 0x43, 0x44}}, {0x48000, {0x43, 0xFF}}},
       {{0x087FFC, MARK_FIRST}, {0x088000, MARK_FIRST}},
       "\n//[087FFC ~ 047FFC]\n#W16($47FFC)\nABCD<CODE FF>\n\n\n"},
      {"marks past address FFFF are found in the window's second half",
       {{0x40004, {0x41, 0xFF}}, {0x47FFF, {0x42}}},
       {{0x080004, MARK_FIRST}, {0x087FFF, MARK_FIRST}},
       "\n//[080004 ~ 040004]\n#W16($40004)\nA<CODE FF>\n\n\n"
       "\n//[087FFF ~ 047FFF]\n#W16($47FFF)\nB<CODE FF>\n\n\n"},
      {"marks just outside the window are not found",
       {{0x37FFF, {0x41, 0xFF}}},
       {{0x077FFF, MARK_FIRST}, {0x088000, MARK_FIRST}, {0x098000, MARK_FIRST}},
       ""},
  };
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(c.name);
    ImageBuilder image;
    for (const auto& [offset, bytes] : c.bytes) image.place_at(offset, bytes);
    DumpFixture f(image);
    define_letters(f);
    for (const auto& [linear, kind] : c.marks) mark(f.stores->marks, linear, kind);
    dump_region(f.ctx, 0x07, 0x8000, 0x3944F, 0x39656);
    EXPECT_EQ(f.script_text(), kBank07Opening + c.strings);
    EXPECT_EQ(f.console_text(), "");
  }
}

TEST(RegionDump, opening_lines_are_exact_bytes_with_crlf) {
  ImageBuilder image;
  DumpFixture f(image);
  dump_region(f.ctx, 0x30, 0x8000, 0x184DE8, 0x185602);
  EXPECT_EQ(f.script_bytes(), "\r\n" + kSlashes + "\r\n//\r\n#JMP($184DE8,$185602)\r\n");
  EXPECT_EQ(f.console_text(), "");
}

struct OwnBankCase {
  const char* name;
  int block_bank;
  int block_address;
  int region_bank;
  std::string strings;  // what follows the opening lines
};

// A block's first string is found by the region of the bank the block was dumped for, by the
// same linear numbering, even where the window also holds another bank's image bytes.
TEST(RegionDump, first_string_is_found_only_by_its_own_banks_region) {
  const OwnBankCase cases[] = {
      {"first string past address FFFF, second half of the window", 0x07, 0xFFFC, 0x07,
       "\n//[080000 ~ 040000]\n#W16($40000)\nAB<CODE FF>\n\n\n"},
      {"bank 08 block whose bytes lie in bank 07's window", 0x08, 0x8000, 0x07, ""},
      {"bank 08 block in its own bank's window", 0x08, 0x8000, 0x08,
       "\n//[088004 ~ 040004]\n#W16($40004)\nAB<CODE FF>\n\n\n"},
      {"bank 07 block whose bytes lie in bank 06's window", 0x07, 0x9000, 0x06, ""},
  };
  for (const OwnBankCase& c : cases) {
    SCOPED_TRACE(c.name);
    ImageBuilder image;
    image.place(c.block_bank, c.block_address,
                make_block({text_string("AB"), text_string("C", 0xD0)}));
    DumpFixture f(image);
    define_letters(f);
    dump_layer2(f.ctx, c.block_bank, c.block_address, 1);
    const std::string block = f.script_text();
    const std::string console = f.console_text();
    dump_region(f.ctx, c.region_bank, 0x8000, 0x100, 0x200);
    EXPECT_EQ(f.script_text().substr(block.size()),
              "\n" + kSlashes + "\n//\n#JMP($100,$200)\n" + c.strings);
    EXPECT_EQ(f.console_text(), console);
  }
}

}  // namespace
