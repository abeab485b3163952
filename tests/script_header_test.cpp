#include "script/script_header.h"

#include <gtest/gtest.h>

#include <string>

#include "script/script_sink.h"
#include "support/captured_file.h"

namespace {

std::string header_bytes() {
  CapturedFile file;
  {
    ScriptSink script(file.get());
    write_script_header(script);
    EXPECT_TRUE(script.flush());
  }
  return file.contents();
}

// The inserter reads these lines back: every line end is CR LF, there is no byte-order mark
// before the first command and nothing after the closing empty line.
TEST(ScriptHeader, is_written_byte_for_byte_with_crlf_line_ends) {
  const std::string dashes(57, '-');
  EXPECT_EQ(header_bytes(),
            "#VAR(Table, TABLE)\r\n"
            "#ADDTBL(\"quillbox_table.txt\", Table)\r\n"
            "#ACTIVETBL(Table)\r\n"
            "\r\n"
            "#SMA(\"LOROM00\")\r\n"
            "\r\n"
            "#VAR(MyPtr, CUSTOMPOINTER)\r\n"
            "#VAR(PtrTable, POINTERTABLE)\r\n"
            "\r\n"
            "#CREATEPTR(MyPtr, \"LOROM00\", $0, 24)\r\n"
            "#PTRTBL(PtrTable, $200000, 3, MyPtr)\r\n"
            "\r\n"
            "//" +
                dashes +
                "\r\n"
                "//" +
                dashes +
                "\r\n"
                "\r\n"
                "#SETINDEX($0000,1)\r\n"
                "\r\n"
                "#JMP($208000)\r\n"
                "\r\n");
}

}  // namespace
