// The sample image dumped by the real tool. Every expectation here was worked out by hand from
// the sample's layout and table; only the block count is taken from the layout itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "../tools/sample_layout.h"
#include "support/expected_text.h"
#include "support/process.h"

namespace {

// One run of the maker and the tool, shared by every test in this file.
struct SampleRun {
  bool made = false;
  ProcessResult dump;
  std::string script_bytes;
  std::string script;  // CR LF shown as LF
};

SampleRun run_sample() {
  SampleRun run;
#ifdef SAMPLE_MAKER_EXE
  TempFolder folder;
  const ProcessResult made = run_process(SAMPLE_MAKER_EXE, {folder.path()}, folder.path());
  run.made = made.exit_status == 0;
  if (!run.made) return run;
  run.dump = run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "sample.rom"}, folder.path());
  run.script_bytes = read_file(folder / "text/script.txt");
  run.script = lf_only(run.script_bytes);
#endif
  return run;
}

const SampleRun& sample() {
  static const SampleRun run = run_sample();
  return run;
}

// The script after its header, cut into block sections (each ending with its footer, the
// slashes and two empty lines) and region sections (each starting with an empty line, the
// slashes and "//").
struct Sections {
  std::vector<std::string> blocks;
  std::vector<std::string> regions;
  std::string rest;  // anything that is neither: must stay empty
};

Sections split(const std::string& script) {
  Sections s;
  std::string body = script.substr(std::min(kHeader.size(), script.size()));
  const std::string block_end = "\n" + kSlashes + "\n\n\n";
  const std::string region_start = "\n" + kSlashes + "\n//\n";
  std::size_t at = 0;
  for (std::size_t end; (end = body.find(block_end, at)) != std::string::npos &&
                        body.compare(at, region_start.size(), region_start) != 0;) {
    s.blocks.push_back(body.substr(at, end + block_end.size() - at));
    at = end + block_end.size();
  }
  while (at < body.size() && body.compare(at, region_start.size(), region_start) == 0) {
    std::size_t next = body.find(region_start, at + 1);
    if (next == std::string::npos) next = body.size();
    s.regions.push_back(body.substr(at, next - at));
    at = next;
  }
  s.rest = body.substr(at);
  return s;
}

// The progress lines as "start [twice the index]", in console order.
std::vector<std::string> progress(const std::string& console) {
  std::vector<std::string> lines;
  const std::regex line("\n\\[FILE\\] ([0-9A-F]{6})-[0-9A-F]{6} (\\[[0-9A-F]+\\])");
  for (std::sregex_iterator it(console.begin(), console.end(), line), end; it != end; ++it)
    lines.push_back((*it)[1].str() + " " + (*it)[2].str());
  return lines;
}

std::vector<std::string> lines_starting(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (text.compare(at, prefix.size(), prefix) == 0) found.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return found;
}

class SampleDump : public testing::Test {
 protected:
  void SetUp() override {
#ifndef SAMPLE_MAKER_EXE
    GTEST_SKIP() << "the sample image maker is not built";
#endif
    ASSERT_TRUE(sample().made);
  }
};

TEST_F(SampleDump, run_succeeds_quietly_and_writes_crlf_lines_after_the_header) {
  const SampleRun& run = sample();
  EXPECT_EQ(run.dump.exit_status, 0);
  EXPECT_EQ(run.dump.err, "");
  EXPECT_EQ(run.dump.out.find("FAIL-SAFE"), std::string::npos);
  EXPECT_EQ(run.dump.out.find("Table file not found"), std::string::npos);
  EXPECT_TRUE(line_ends_are_cr_lf(run.script_bytes));
  EXPECT_EQ(run.script_bytes.substr(0, 20), "#VAR(Table, TABLE)\r\n");
  EXPECT_EQ(run.script.substr(0, kHeader.size()), kHeader);
}

TEST_F(SampleDump, every_block_is_dumped_once_in_plan_order) {
  const SampleRun& run = sample();
  // Index entries in index order (entry 120 repeats entry 25 and is not dumped again), then the
  // fixed list without 00E945, which index entry 17 already named.
  const std::vector<std::string> expected = {
      "07C000 [0]",   "009400 [6]",   "058000 [10]",  "00E945 [22]",  "108800 [32]",
      "1CC000 [50]",  "21B000 [80]",  "30F000 [C6]",  "358000 [104]", "079000 [12C]",
      "38A123 [140]", "3B8100 [190]", "3BFFF4 [192]", "088000 [1CC]", "3E9000 [22C]",
      "00C373 [0]",   "00CC11 [0]",   "00E50F [0]",   "00E921 [0]",   "00E92D [0]",
      "00E939 [0]",   "00E951 [0]",   "00E969 [0]",   "00E975 [0]",   "00E981 [0]",
      "00E98D [0]",   "00E999 [0]",   "00E9A5 [0]",   "00E9B1 [0]",   "00E9BD [0]",
      "00E9C9 [0]",   "00E9D5 [0]",   "00E9E1 [0]",   "00E9ED [0]",   "00E9F9 [0]",
      "00EA05 [0]",   "10A000 [0]",   "10B2CA [0]",   "3890D2 [0]",
  };
  ASSERT_EQ(expected.size(), sample::blocks.size());
  EXPECT_EQ(progress(run.dump.out), expected);

  const Sections sections = split(run.script);
  ASSERT_EQ(sections.blocks.size(), expected.size());
  std::string footers;
  for (const std::string& block : sections.blocks) {
    const std::vector<std::string> footer = lines_starting(block, "//[FILE] ");
    ASSERT_EQ(footer.size(), 1u) << block;
    footers += '\n';
    footers += footer[0].substr(2);
  }
  // Each progress line repeats its block's footer; the run ends the last line.
  EXPECT_EQ(footers + "\n", run.dump.out);
}

struct KnownSection {
  std::size_t number;  // in dump order
  std::string text;
};

TEST_F(SampleDump, known_blocks_are_rendered_through_the_sample_table) {
  const std::string end = "\n" + kSlashes + "\n\n\n";
  const KnownSection known[] = {
      // Bank 0x07: every byte class of the encoding, with and without table text.
      {9,
       "//[07900A ~ 03900A]\n\n//The lamp is lit.[end]\n\n\n"
       "//[07901B ~ 03901B]\n#WRITEINDEX($39002,2)\n#WRITE(PtrTable)\n\n"
       "[hero] climbs the [var]<$05> stairs.[br]\n[wait]Wind rises.[END]\n\n\n"
       "//[079042 ~ 039042]\n#WRITEINDEX($39004,2)\n#WRITE(PtrTable)\n\n"
       "[slow]Slowly[fast], then fast.<CODE E0>[br]\n"
       "[red]Red[color]<$07>?[pause]<$1E><CODE F3><$02>[end]\n\n\n"
       "//[079065 ~ 039065]\n#WRITEINDEX($39006,2)\n#WRITE(PtrTable)\n\n"
       "[i][sword]<$C1>[shield]<$12>[g][heart]<$CA>\xC3\xA9\xC3\xB1<$05>[shake]<CODE FA><$05>"
       "[end]\n\n\n"
       "//[079074 ~ 039074]\n#WRITEINDEX($39008,2)\n#WRITE(PtrTable)\n\nGood night.[END]\n\n\n"
       "\n//[FILE] 079000-079080 [12C]" +
           end},
      // Bank 0x05 has no region; its second string mixes a control and a page-2 run.
      {2,
       "//[058004 ~ 028004]\n\n//Fog rolls in.[end]\n\n\n"
       "//[058012 ~ 028012]\n#WRITEINDEX($28002,2)\n#WRITE(PtrTable)\n\n"
       "[clear][g][heart][end]\n\n\n"
       "\n//[FILE] 058000-058016 [10]" +
           end},
      // Named by the index before the fixed list reaches it.
      {3, "//[00E947 ~ 006947]\n\n//Sea chart[end]\n\n\n\n//[FILE] 00E945-00E951 [22]" + end},
      // The second string starts past address 0xFFFF, in the image bytes of bank 0x3C.
      {12,
       "//[3BFFF8 ~ 1DFFF8]\n\n//Dawn at[end]\n\n\n"
       "//[3C0000 ~ 1E0000]\n#WRITEINDEX($1DFFF6,2)\n#WRITE(PtrTable)\n\nThe end.[end]\n\n\n"
       "\n//[FILE] 3BFFF4-3C0009 [192]" +
           end},
      {15,
       "//[00C379 ~ 004379]\n\n//Tide table[end]\n\n\n"
       "//[00C384 ~ 004384]\n#WRITEINDEX($4375,2)\n#WRITE(PtrTable)\n\n"
       "High water at 6.[br]\nLow water at noon.[end]\n\n\n"
       "//[00C3A8 ~ 0043A8]\n#WRITEINDEX($4377,2)\n#WRITE(PtrTable)\n\n"
       "[hero]'s log, day [var]<$09>.[END]\n\n\n"
       "\n//[FILE] 00C373-00C3BA [0]" +
           end},
      // '*' has no table text.
      {25, "//[00E98F ~ 00698F]\n\n//Net<$2A>2[end]\n\n\n\n//[FILE] 00E98D-00E995 [0]" + end},
  };
  const Sections sections = split(sample().script);
  for (const KnownSection& k : known) {
    SCOPED_TRACE(k.number);
    ASSERT_LT(k.number, sections.blocks.size());
    EXPECT_EQ(sections.blocks[k.number], k.text);
  }
}

struct RegionExpectation {
  std::string jmp;
  std::vector<std::string> w16;  // image offsets of the first strings of the bank's blocks
};

// Banks 0x05, 0x08, 0x21 and 0x3E have no region. Bank 0x08's block lies in the image bytes of
// bank 0x07's window, but its linear addresses do not, so it is not written there either.
TEST_F(SampleDump, last_eight_sections_are_the_regions_with_their_banks_first_strings) {
  const RegionExpectation expected[] = {
      {"#JMP($583D,$650E)",
       {"#W16($1404)", "#W16($4379)", "#W16($4C15)", "#W16($6513)", "#W16($6923)", "#W16($692F)",
        "#W16($693B)", "#W16($6947)", "#W16($6953)", "#W16($696B)", "#W16($6977)", "#W16($6983)",
        "#W16($698F)", "#W16($699B)", "#W16($69A7)", "#W16($69B3)", "#W16($69BF)", "#W16($69CB)",
        "#W16($69D7)", "#W16($69E3)", "#W16($69EF)", "#W16($69FB)", "#W16($6A07)"}},
      {"#JMP($3944F,$39656)", {"#W16($3900A)", "#W16($3C004)"}},
      {"#JMP($85BAA,$86521)", {"#W16($80804)", "#W16($82004)", "#W16($832CE)"}},
      {"#JMP($E4B50,$E516E)", {"#W16($E4006)"}},
      {"#JMP($184DE8,$185602)", {"#W16($187004)"}},
      {"#JMP($1A807C,$1A8839)", {"#W16($1A8004)"}},
      {"#JMP($1C1170,$1C1A79)", {"#W16($1C10D6)", "#W16($1C2127)"}},
      {"#JMP($1DA36A,$1DB56D)", {"#W16($1D8104)", "#W16($1DFFF8)"}},
  };
  const Sections sections = split(sample().script);
  EXPECT_EQ(sections.rest, "");
  ASSERT_EQ(sections.regions.size(), std::size(expected));
  for (std::size_t r = 0; r < std::size(expected); ++r) {
    SCOPED_TRACE(expected[r].jmp);
    EXPECT_EQ(lines_starting(sections.regions[r], "#JMP("),
              std::vector<std::string>{expected[r].jmp});
    EXPECT_EQ(lines_starting(sections.regions[r], "#W16("), expected[r].w16);
  }

  const std::string opening = "\n" + kSlashes + "\n//\n";
  EXPECT_EQ(sections.regions[1],
            opening + "#JMP($3944F,$39656)\n" +
                "\n//[07900A ~ 03900A]\n#W16($3900A)\nThe lamp is lit.[end]\n\n\n"
                "\n//[07C004 ~ 03C004]\n#W16($3C004)\nThe boat is late.[end]\n\n\n");
  EXPECT_EQ(sections.regions[7],
            opening + "#JMP($1DA36A,$1DB56D)\n" +
                "\n//[3B8104 ~ 1D8104]\n#W16($1D8104)\nThe logbook is full.[end]\n\n\n"
                "\n//[3BFFF8 ~ 1DFFF8]\n#W16($1DFFF8)\nDawn at[end]\n\n\n");
  EXPECT_EQ(lines_starting(sample().script, "#W16(").size(), 35u);
}

}  // namespace

namespace {

// The maker's own options: --help and -h print the usage and make nothing.
TEST(SampleMaker, help_prints_the_usage_and_makes_no_folder) {
#ifndef SAMPLE_MAKER_EXE
  GTEST_SKIP() << "the sample image maker is not built";
#else
  for (const char* option : {"--help", "-h"}) {
    SCOPED_TRACE(option);
    TempFolder f;
    const ProcessResult r = run_process(SAMPLE_MAKER_EXE, {option}, f.path());
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_TRUE(r.out.starts_with("usage: make_sample_image ")) << r.out;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.path()), {}), 0);
  }
#endif
}

}  // namespace
