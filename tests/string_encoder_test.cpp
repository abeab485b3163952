#include "decode/string_encoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<int, std::string>>;
using Outcome = StringEncoding::Outcome;

struct Encoder {
  explicit Encoder(const Entries& entries) {
    for (const auto& [code, text] : entries) table->set(code, text);
    renderings->build(*table);
    encoder = std::make_unique<StringEncoder>(*table, *renderings);
  }
  std::unique_ptr<TextTable> table = std::make_unique<TextTable>();
  std::unique_ptr<TokenRenderings> renderings = std::make_unique<TokenRenderings>();
  std::unique_ptr<StringEncoder> encoder;
};

std::string hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += "0123456789ABCDEF"[b >> 4];
    text += "0123456789ABCDEF"[b & 0xF];
  }
  return text;
}

struct Case {
  const char* name;
  Entries table;
  std::vector<std::string_view> lines;
  std::string bytes;  // what is given, as far as it went
  Outcome outcome;
  TextPlace stop = {};  // for kNoCandidate and kTextAfterEnd
};

TEST(StringEncoder, takes_the_longest_candidate_the_decoders_state_allows) {
  const Entries plain = {{0x41, "A"}, {0x42, "B"}, {0xFF, "[end]"}};
  // clang-format off
  const Case cases[] = {
      {"characters and the end code", plain, {"AB[end]"}, "41 42 FF", Outcome::kEncoded},
      {"the longest text wins", {{0x41, "A"}, {0x43, "AB"}, {0xFF, "."}}, {"AB."}, "43 FF",
       Outcome::kEncoded},
      {"equal texts: the lower code", {{0x61, "x"}, {0x41, "x"}, {0xF001, "x"}, {0xFF, "."}},
       {"x."}, "41 FF", Outcome::kEncoded},
      {"a table text before the bracketed form of the same length", {{0x50, "<$41>"}},
       {"<$41><CODE FF>"}, "50 FF", Outcome::kEncoded},
      {"a longer bracketed form before a table text", {{0x3C, "<"}}, {"<$41><<CODE D0>"},
       "41 3C D0", Outcome::kEncoded},
      {"bracketed forms give any byte; a run takes its follow bytes", {},
       {"<$C1><$10><$20><CODE D0>"}, "C1 10 20 D0", Outcome::kEncoded},
      {"inside a run, its page's texts",
       {{0xC0, "[i]"}, {0x0110, "x"}, {0x0210, "y"}, {0x10, "c"}}, {"[i]x<$C8>y<CODE FF>"},
       "C0 10 C8 10 FF", Outcome::kEncoded},
      {"inside a run, no text of another page", {{0xC0, "[i]"}, {0x41, "A"}}, {"[i]A"}, "C0",
       Outcome::kNoCandidate, {0, 3}},
      {"a parameter control's code with its parameter", {{0xF001, "[w1]"}, {0xBF05, "[v5]"}},
       {"[w1][v5]<CODE FF>"}, "F0 01 BF 05 FF", Outcome::kEncoded},
      {"after a parameter control, only <$XX>", {{0xF0, "[w]"}, {0x41, "A"}}, {"[w]<$1E>[w]A"},
       "F0 1E F0", Outcome::kNoCandidate, {0, 11}},
      {"a code that never comes is no candidate", {{0x4142, "Q"}, {0x0141, "Z"}}, {"Q"}, "",
       Outcome::kNoCandidate, {0, 0}},
      {"hex digits are upper case", {}, {"<$c1>"}, "", Outcome::kNoCandidate, {0, 0}},
      {"no token spans two lines", {{0x41, "A"}, {0x42, "B"}, {0x43, "AB"}, {0xFF, "."}},
       {"A", "", "B."}, "41 42 FF", Outcome::kEncoded},
      {"0xFF inside a run is a follow byte", {}, {"<$C0><$FF><CODE FF>"}, "C0 FF FF",
       Outcome::kEncoded},
      {"text after the end code on its line", plain, {"A[end]B"}, "41 FF", Outcome::kTextAfterEnd,
       {0, 6}},
      {"text after the end code on a later line", plain, {"A[end]", "", "B"}, "41 FF",
       Outcome::kTextAfterEnd, {2, 0}},
      {"no end code", plain, {"AB", ""}, "41 42", Outcome::kNoEndCode},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Encoder e(c.table);
    StringEncoding encoding;
    e.encoder->encode(c.lines, encoding);
    EXPECT_EQ(hex(encoding.bytes), c.bytes);
    EXPECT_EQ(encoding.outcome, c.outcome);
    if (c.outcome == Outcome::kNoCandidate || c.outcome == Outcome::kTextAfterEnd) {
      EXPECT_EQ(encoding.stop.line, c.stop.line);
      EXPECT_EQ(encoding.stop.column, c.stop.column);
    }
  }
}

// What the renderings let the check tell without a search, against what encode() does.
TEST(StringEncoder, foresees_which_tokens_of_a_rendering_encode_back) {
  using Taken = StringEncoder::Taken;
  struct Foresight {
    const char* name;
    Entries table;
    std::vector<std::uint8_t> bytes;
    Taken taken;
    std::size_t offset;  // in the rendering, of the first token not given back, or its size
  };
  // clang-format off
  const Foresight cases[] = {
      {"every token given back", {{0x41, "A"}, {0xF0, "[w]"}, {0xFF, "[end]"}},
       {0x41, 0xF0, 0x02, 0xC1, 0x10, 0x20, 0xFE, 0xFF}, Taken::kGivenBack, 46},
      {"a text a lower code has too", {{0x41, "A"}, {0x42, "A"}}, {0x41, 0x42, 0xFF},
       Taken::kOther, 1},
      {"a parameter whose text another control's has", {{0xF005, "[w]"}, {0xF105, "[w]"}},
       {0xF1, 0x05, 0xFF}, Taken::kOther, 0},
      {"a text that starts a longer one", {{0x41, "A"}, {0x42, "AB"}}, {0x42, 0x41, 0xFF},
       Taken::kUnsure, 2},
      {"a text that starts a bracketed form", {{0x3C, "<"}}, {0x3C, 0xFF}, Taken::kUnsure, 0},
  };
  // clang-format on
  for (const Foresight& c : cases) {
    SCOPED_TRACE(c.name);
    const Encoder e(c.table);
    const StringEncoder::Foreseen foreseen = e.encoder->foresee(c.bytes);
    EXPECT_EQ(foreseen.taken, c.taken);
    EXPECT_EQ(foreseen.offset, c.offset);
  }
}

}  // namespace
