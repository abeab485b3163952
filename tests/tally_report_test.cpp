#include "driver/tally_report.h"

#include <gtest/gtest.h>

#include <string>

#include "support/captured_file.h"

namespace {

std::string report(const TokenTally& tally) {
  CapturedFile console;
  write_tally_report(tally, console.get());
  return console.contents();
}

TEST(TallyReport, missing_keys_come_most_met_first_then_by_code_and_the_summary_closes) {
  TokenTally empty;
  EXPECT_EQ(report(empty), "\n[SUMMARY] 0 blocks, 0 strings, 0 tokens, 100.0% from the table");

  TokenTally tally;
  tally.blocks = 3;
  tally.strings = 12;
  tally.tokens = 200;
  for (int i = 0; i < 5; ++i) {
    tally.count_missing(0x0100, 0x108000 + i);  // a follow byte: four digits, after FF
    tally.count_missing(0xFF, 0x10A000 + i);
    tally.count_missing(0x00, 0x000000 + i);
  }
  for (int i = 0; i < 7; ++i) tally.count_missing(0xF0, 0x07F123 + i);
  tally.count_missing(0x02FF, 0x1000000);
  EXPECT_EQ(report(tally),
            "\n[MISSING] F0 x7 first @ 07F123"
            "\n[MISSING] 00 x5 first @ 000000"
            "\n[MISSING] FF x5 first @ 10A000"
            "\n[MISSING] 0100 x5 first @ 108000"
            "\n[MISSING] 02FF x1 first @ 1000000"
            "\n[SUMMARY] 3 blocks, 12 strings, 200 tokens, 88.5% from the table");

  TokenTally all_missing;
  all_missing.tokens = 3;
  all_missing.count_missing(0x41, 0x8000);
  all_missing.count_missing(0x41, 0x8000);
  all_missing.count_missing(0xFE, 0x8000);
  EXPECT_EQ(report(all_missing),
            "\n[MISSING] 41 x2 first @ 008000"
            "\n[MISSING] FE x1 first @ 008000"
            "\n[SUMMARY] 0 blocks, 0 strings, 3 tokens, 0.0% from the table");

  TokenTally rounded;
  rounded.tokens = 3;
  rounded.count_missing(0x41, 0x8000);
  EXPECT_EQ(report(rounded),
            "\n[MISSING] 41 x1 first @ 008000"
            "\n[SUMMARY] 0 blocks, 0 strings, 3 tokens, 66.7% from the table");
}

}  // namespace
