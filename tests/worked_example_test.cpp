#include <gtest/gtest.h>

#include "dump/block_dump.h"
#include "dump/region_dump.h"
#include "support/dump_fixture.h"
#include "support/expected_text.h"

namespace {

ImageBuilder worked_example_image() {
  ImageBuilder image;
  image.place(0x07, 0x9000, {0x04, 0x00, 0x07, 0x00, 0x41, 0x42, 0xFF, 0x43, 0xD0});
  return image;
}

TEST(BlockDump, worked_example_writes_its_section_byte_for_byte) {
  DumpFixture f(worked_example_image());
  f.define(0x41, "A");
  f.define(0x42, "B");
  dump_layer2(f.ctx, 0x07, 0x9000, 3);
  EXPECT_EQ(f.script_bytes(),
            "//[079004 ~ 039004]\r\n\r\n//AB<CODE FF>\r\n\r\n\r\n"
            "//[079007 ~ 039007]\r\n#WRITEINDEX($39002,2)\r\n#WRITE(PtrTable)\r\n\r\n"
            "<$43><CODE D0>\r\n\r\n\r\n"
            "\r\n//[FILE] 079000-079009 [6]\r\n" +
                std::string(58, '/') + "\r\n\r\n\r\n");
  EXPECT_EQ(f.console_text(), "\n[FILE] 079000-079009 [6]");
  EXPECT_TRUE(f.marked(0x079000, MARK_DUMPED));
  EXPECT_TRUE(f.marked(0x079004, MARK_TARGET));
  EXPECT_TRUE(f.marked(0x079007, MARK_TARGET));
  EXPECT_TRUE(f.marked(0x079004, MARK_FIRST));
  EXPECT_FALSE(f.marked(0x079007, MARK_FIRST));
}

TEST(RegionDump, worked_example_writes_the_first_string_again_with_w16) {
  DumpFixture f(worked_example_image());
  f.define(0x41, "A");
  f.define(0x42, "B");
  dump_layer2(f.ctx, 0x07, 0x9000, 3);
  const std::string block = f.script_text();
  dump_region(f.ctx, 0x07, 0x8000, 0x3944F, 0x39656);
  EXPECT_EQ(f.script_text().substr(block.size()),
            "\n" + kSlashes +
                "\n//\n#JMP($3944F,$39656)\n\n//[079004 ~ 039004]\n#W16($39004)\n"
                "AB<CODE FF>\n\n\n");
}

}  // namespace
