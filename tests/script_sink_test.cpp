#include "script/script_sink.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>

#include "support/captured_file.h"

namespace {

// Each kind of write, placed so that it meets the end of the 64 KiB buffer at every offset:
// the bytes must arrive whole and in order, with each line feed as CR LF.
TEST(ScriptSink, writes_that_meet_the_buffer_end_arrive_whole_with_crlf) {
  std::array<char, 48> slot{};
  std::string(45, 's').copy(slot.data(), 45);
  struct Case {
    const char* name;
    std::function<void(ScriptSink&)> write;
    std::string bytes;
  };
  const Case cases[] = {
      {"literal", [](ScriptSink& s) { s.write<"a\nb\n">(); }, "a\r\nb\r\n"},
      {"run-time text", [](ScriptSink& s) { s.write("\nx\n\ny"); }, "\r\nx\r\n\r\ny"},
      {"plain text", [](ScriptSink& s) { s.write_plain("plain"); }, "plain"},
      {"long plain text", [](ScriptSink& s) { s.write_plain(std::string(300, 'p')); },
       std::string(300, 'p')},
      {"direct",
       [&slot](ScriptSink& s) {
         char* at = s.room_for<48>();
         std::memcpy(at, slot.data(), 48);
         s.written_up_to(at + 45);
       },
       std::string(45, 's')},
      {"hex, odd width", [](ScriptSink& s) { s.write_hex(0x39002); }, "39002"},
      {"hex, padded", [](ScriptSink& s) { s.write_hex(0x7, 6); }, "000007"},
      {"hex, seven digits", [](ScriptSink& s) { s.write_hex(0x100FFFF, 6); }, "100FFFF"},
      {"hex, zero", [](ScriptSink& s) { s.write_hex(0); }, "0"},
  };
  for (const Case& c : cases) {
    for (std::size_t lead = 0x10000 - 310; lead <= 0x10000; ++lead) {
      SCOPED_TRACE(::testing::Message() << c.name << ", after " << lead << " bytes");
      CapturedFile file;
      {
        ScriptSink sink(file.get());
        sink.write_plain(std::string(lead, '.'));
        c.write(sink);
        sink.write_plain("|");
        ASSERT_TRUE(sink.flush());
      }
      const std::string got = file.contents();
      ASSERT_EQ(got.size(), lead + c.bytes.size() + 1);
      ASSERT_EQ(got.substr(lead), c.bytes + "|");
    }
  }
}

}  // namespace
