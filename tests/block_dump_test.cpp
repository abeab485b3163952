#include "dump/block_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/dump_fixture.h"
#include "support/expected_text.h"

namespace {

// Most cases dump the block at bank 0x12, address 0xA000: linear address 0x12A000,
// image offset 0x92000.
constexpr int kBank = 0x12;
constexpr int kAddress = 0xA000;

std::string footer(const std::string& range, const std::string& twice_index) {
  return "\n//[FILE] " + range + " [" + twice_index + "]\n" + kSlashes + "\n\n\n";
}

struct Placed {
  int bank;
  int address;
  Bytes bytes;
};
struct Call {
  int bank;
  int address;
  int index;
};
struct Mark {
  int linear;
  MarkKind kind;
  bool set;
};
struct Case {
  const char* name;
  std::vector<Placed> image;
  std::vector<Call> calls;
  std::string script;  // with LF for each line break
  std::string console;
  std::vector<Mark> marks;
  int marked_places;  // linear addresses holding any mark afterwards
  std::string line_break = {};  // the table's text for 0xFE, if any
};

const Bytes kSingleEntry = make_block({text_string("HI")});  // 02 00 'H' 'I' FF
const std::string kSingleEntrySection = "//[12A002 ~ 092002]\n\n//HI<CODE FF>\n\n\n";

std::vector<Case> block_cases() {
  return {
      {"single-entry block",
       {{kBank, kAddress, kSingleEntry}},
       {{kBank, kAddress, 0}},
       kSingleEntrySection + footer("12A000-12A005", "0"),
       "\n[FILE] 12A000-12A005 [0]",
       {{0x12A000, MARK_DUMPED, true}, {0x12A002, MARK_TARGET, true}, {0x12A002, MARK_FIRST, true}},
       2},
      {"offsets 6, 10, 8 with a 2-byte string at 6",
       {{kBank, kAddress,
         make_block({6, 10, 8}, {text_string("A"), text_string("B"), text_string("C")})}},
       {{kBank, kAddress, 0}},
       "//[12A006 ~ 092006]\n\n//A<CODE FF>\n\n\n"
       "//[12A008 ~ 092008]\n#WRITEINDEX($92002,2)\n#WRITE(PtrTable)\n\nB<CODE FF>\n\n\n" +
           footer("12A000-12A00A", "0"),
       "\n[DUMP_LAYER2] FAIL-SAFE (backwards @ 12A006)"
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 12A00A)"
       "\n[FILE] 12A000-12A00A [0]",
       {{0x12A006, MARK_TARGET, true},
        {0x12A008, MARK_TARGET, true},
        {0x12A00A, MARK_TARGET, true},
        {0x12A006, MARK_FIRST, true},
        {0x12A008, MARK_FIRST, false}},
       4},
      {"offsets 6, 10, 8 with a 1-byte string at 6",
       {{kBank, kAddress,
         make_block({6, 10, 8}, {text_string(""), text_string("B"), text_string("C")})}},
       {{kBank, kAddress, 0}},
       "//[12A006 ~ 092006]\n\n//<CODE FF>\n\n\n" + footer("12A000-12A007", "0"),
       "\n[DUMP_LAYER2] FAIL-SAFE (backwards @ 12A006)"
       "\n[DUMP_LAYER2] FAIL-SAFE (no text ptr @ 12A007)"
       "\n[FILE] 12A000-12A007 [0]",
       {{0x12A006, MARK_FIRST, true}},
       4},
      {"offsets 6, 10, 8 with a longer string at 6",
       {{kBank, kAddress, make_block({6, 10, 8}, {text_string("ABCDE")})}},
       {{kBank, kAddress, 0}},
       "//[12A006 ~ 092006]\n\n//ABCDE<CODE FF>\n\n\n" + footer("12A000-12A00C", "0"),
       "\n[DUMP_LAYER2] FAIL-SAFE (backwards @ 12A006)"
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 12A00C)"
       "\n[FILE] 12A000-12A00C [0]",
       {{0x12A006, MARK_FIRST, true}},
       4},
      {"odd first offset leaves the string at 3 unwritten",
       {{kBank, kAddress, make_block({3, 9}, {text_string("ABCDE")})}},
       {{kBank, kAddress, 0}},
       footer("12A000-12A004", "0"),
       "\n[DUMP_LAYER2] FAIL-SAFE (no text ptr @ 12A004)\n[FILE] 12A000-12A004 [0]",
       {{0x12A003, MARK_TARGET, true},
        {0x12A009, MARK_TARGET, true},
        {0x12A004, MARK_TARGET, false},
        {0x12A003, MARK_FIRST, false}},
       3},
      {"first offset 0 writes no string",
       {{kBank, kAddress, make_block({0}, {text_string("AB")})}},
       {{kBank, kAddress, 0}},
       footer("12A000-12A002", "0"),
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 12A002)\n[FILE] 12A000-12A002 [0]",
       {{0x12A000, MARK_TARGET, true}, {0x12A000, MARK_DUMPED, true}},
       1},
      {"first offset 1 writes no string",
       {{kBank, kAddress, make_block({1}, {text_string("AB")})}},
       {{kBank, kAddress, 0}},
       footer("12A000-12A002", "0"),
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 12A002)\n[FILE] 12A000-12A002 [0]",
       {{0x12A001, MARK_TARGET, true}, {0x12A000, MARK_TARGET, false}},
       2},
      {"duplicate offsets share one string; entry numbers follow the strings written",
       {{kBank, kAddress, make_block({6, 6, 9}, {text_string("AB"), text_string("C")})}},
       {{kBank, kAddress, 0}},
       "//[12A006 ~ 092006]\n\n//AB<CODE FF>\n\n\n"
       "//[12A009 ~ 092009]\n#WRITEINDEX($92002,2)\n#WRITE(PtrTable)\n\nC<CODE FF>\n\n\n" +
           footer("12A000-12A00B", "0"),
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 12A00B)\n[FILE] 12A000-12A00B [0]",
       {{0x12A006, MARK_FIRST, true}, {0x12A009, MARK_FIRST, false}},
       3},
      {"another block's mark lets an extra string through",
       // The block at 0x9F00 (image offset 0x91F00) points 0x107 bytes on, at 0x12A007.
       {{kBank, 0x9F00, make_block({4, 0x107}, {text_string("Z")})},
        {kBank, kAddress,
         make_block({4, 10}, {text_string("AB"), text_string("CD"), text_string("E")})}},
       {{kBank, 0x9F00, 0}, {kBank, kAddress, 1}},
       "//[129F04 ~ 091F04]\n\n//Z<CODE FF>\n\n\n" + footer("129F00-129F06", "0") +
           "//[12A004 ~ 092004]\n\n//AB<CODE FF>\n\n\n"
           "//[12A007 ~ 092007]\n#WRITEINDEX($92002,2)\n#WRITE(PtrTable)\n\nCD<CODE FF>\n\n\n"
           "//[12A00A ~ 09200A]\n#WRITEINDEX($92004,2)\n#WRITE(PtrTable)\n\nE<CODE FF>\n\n\n" +
           footer("12A000-12A00C", "2"),
       "\n[DUMP_LAYER2] FAIL-SAFE (no text ptr @ 129F06)\n[FILE] 129F00-129F06 [0]"
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 12A00C)\n[FILE] 12A000-12A00C [2]",
       {{0x12A007, MARK_TARGET, true},
        {0x12A007, MARK_FIRST, false},
        {0x129F04, MARK_FIRST, true},
        {0x12A004, MARK_FIRST, true}},
       6},
      {"block named twice is dumped once",
       {{kBank, kAddress, kSingleEntry}},
       {{kBank, kAddress, 5}, {kBank, kAddress, 6}},
       kSingleEntrySection + footer("12A000-12A005", "A"),
       "\n[FILE] 12A000-12A005 [A]",
       {{0x12A000, MARK_DUMPED, true}},
       2},
      {"footer shows twice the index in hex",
       {{kBank, kAddress, kSingleEntry}},
       {{kBank, kAddress, 17}},
       kSingleEntrySection + footer("12A000-12A005", "22"),
       "\n[FILE] 12A000-12A005 [22]",
       {},
       2},
      {"string running to the window end",
       // The window ends before the two B's.
       {{kBank, kAddress, make_block({2}, {Bytes(0xFFFE, 'A'), Bytes{'B', 'B'}})}},
       {{kBank, kAddress, 0}},
       "//[12A002 ~ 092002]\n\n//" + std::string(0xFFFE, 'A') + "<CODE FF>\n\n\n" +
           footer("12A000-13A000", "0"),
       "\n[FILE] 12A000-13A000 [0]",
       {{0x12A002, MARK_FIRST, true}},
       2},
      {"block past the image end reads end codes, not the previous block",
       // Bank 0x50 lies at image offset 0x280000, past the 2 MiB image: its first word
       // reads 0xFFFF, so the scan runs to the window end.
       {{kBank, kAddress, kSingleEntry}},
       {{kBank, kAddress, 0}, {0x50, 0x8000, 0}},
       kSingleEntrySection + footer("12A000-12A005", "0") + footer("508000-518000", "0"),
       "\n[FILE] 12A000-12A005 [0]"
       "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 518000)\n[FILE] 508000-518000 [0]",
       {{0x517FFF, MARK_TARGET, true}, {0x508000, MARK_DUMPED, true}},
       4},
      {"every line of the first string is a comment, of the others none",
       {{kBank, kAddress,
         make_block({Bytes{'S', 'A', 0xFE, 'A', 'N', 0xFE, 0xFE, 'P', 0xFF},
                     Bytes{'B', 0xFE, 'C', 0xFF}})}},
       {{kBank, kAddress, 0}},
       "//[12A004 ~ 092004]\n\n//SA<CODE FE>\n//AN<CODE FE>\n//<CODE FE>\n//P<CODE FF>\n\n\n"
       "//[12A00D ~ 09200D]\n#WRITEINDEX($92002,2)\n#WRITE(PtrTable)\n\nB<CODE FE>\nC<CODE FF>"
       "\n\n\n" +
           footer("12A000-12A011", "0"),
       "\n[FILE] 12A000-12A011 [0]",
       {{0x12A004, MARK_FIRST, true}},
       3},
      // A text longer than the short copies, at the string's start and at the window's end,
      // where bytes are read one by one.
      {"line breaks with a long text in a first string up to the window end",
       {{kBank, kAddress,
         make_block({2}, {Bytes{0xFE}, Bytes(0xFFF9, 'A'), Bytes{0xFE, 'B', 0xFE, 'C'}})}},
       {{kBank, kAddress, 0}},
       "//[12A002 ~ 092002]\n\n//[a line break's text]\n//" + std::string(0xFFF9, 'A') +
           "[a line break's text]\n//B[a line break's text]\n//C<CODE FF>\n\n\n" +
           footer("12A000-13A000", "0"),
       "\n[FILE] 12A000-13A000 [0]",
       {{0x12A002, MARK_FIRST, true}},
       2,
       "[a line break's text]"},
      {"block at the image start is dumped",
       {{0x00, 0x8000, kSingleEntry}},
       {{0x00, 0x8000, 0}},
       "//[008002 ~ 000002]\n\n//HI<CODE FF>\n\n\n" + footer("008000-008005", "0"),
       "\n[FILE] 008000-008005 [0]",
       {{0x008000, MARK_DUMPED, true}, {0x008002, MARK_FIRST, true}},
       2},
      {"block before the image start is reported each time and skipped",
       {},
       {{0x00, 0x7FFF, 0}, {0x00, 0x7FFF, 0}, {0x00, 0x0000, 3}},
       "",
       "\n[DUMP_LAYER2] FAIL-SAFE (bad address @ 007FFF)"
       "\n[DUMP_LAYER2] FAIL-SAFE (bad address @ 007FFF)"
       "\n[DUMP_LAYER2] FAIL-SAFE (bad address @ 000000)",
       {{0x007FFF, MARK_DUMPED, false}},
       0},
  };
}

TEST(BlockDump, writes_each_block_shape_as_its_section_with_warnings_before_progress) {
  for (const Case& c : block_cases()) {
    SCOPED_TRACE(c.name);
    ImageBuilder image;
    for (const Placed& p : c.image) image.place(p.bank, p.address, p.bytes);
    DumpFixture f(image);
    for (char letter = 'A'; letter <= 'Z'; ++letter) f.define(letter, std::string(1, letter));
    if (!c.line_break.empty()) f.define(0xFE, c.line_break);

    for (const Call& call : c.calls) dump_layer2(f.ctx, call.bank, call.address, call.index);

    EXPECT_EQ(f.script_bytes(), crlf(c.script));
    EXPECT_EQ(f.console_text(), c.console);
    for (const Mark& m : c.marks)
      EXPECT_EQ(f.marked(m.linear, m.kind), m.set)
          << std::hex << "kind " << int{m.kind} << " at " << m.linear;
    EXPECT_EQ(marked_places(f.stores->marks), c.marked_places);
  }
}

}  // namespace
