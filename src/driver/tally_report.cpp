#include "driver/tally_report.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <numeric>

void write_tally_report(const TokenTally& tally, std::FILE* console) {
  std::array<int, TokenTally::kKeys> keys;
  std::iota(keys.begin(), keys.end(), 0);
  std::sort(keys.begin(), keys.end(), [&](int a, int b) {
    return tally.missing[a] != tally.missing[b] ? tally.missing[a] > tally.missing[b] : a < b;
  });

  std::uint64_t missing_total = 0;
  for (int key : keys) {
    const std::uint32_t count = tally.missing[key];
    if (count == 0) break;
    missing_total += count;
    std::fprintf(console,
                 key < 0x100 ? "\n[MISSING] %02X x%" PRIu32 " first @ %06" PRIX32
                             : "\n[MISSING] %04X x%" PRIu32 " first @ %06" PRIX32,
                 static_cast<unsigned>(key), count, tally.first_string[key]);
  }

  const double from_table = tally.tokens == 0
                                ? 100.0
                                : 100.0 * static_cast<double>(tally.tokens - missing_total) /
                                      static_cast<double>(tally.tokens);
  std::fprintf(console,
               "\n[SUMMARY] %" PRIu32 " blocks, %" PRIu32 " strings, %" PRIu64
               " tokens, %.1f%% from the table",
               tally.blocks, tally.strings, tally.tokens, from_table);
}
