// The character table that goes with the sample image. Plain data; make_sample_image writes it
// out as table/table_dump.txt.
#pragma once

#include <string_view>
#include <vector>

namespace sample {

// Characters whose code is their own ASCII value. '*' is left out on purpose so that a
// character without table text appears in the image.
inline constexpr std::string_view table_characters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,!?'-:;()";

struct TableEntry {
  std::string_view key;  // 2 or 4 hexadecimal digits
  std::string_view text;
};

// Control codes and the two run pages. Left without text on purpose: the run leads 0xC1 and
// 0xCA, page codes 0x0112 and 0x0205, the controls 0xE0, 0xF3 and 0xFA, and 0xBF05, 0xF107,
// 0xF01E (whose lead byte alone has text).
inline const std::vector<TableEntry> table_codes = {
    {"BF", "[var]"},      {"BF01", "[hero]"}, {"C0", "[i]"},       {"0110", "[sword]"},
    {"0111", "[shield]"}, {"C8", "[g]"},      {"0220", "[heart]"}, {"0221", "\xC3\xA9"},
    {"0222", "\xC3\xB1"}, {"D0", "[END]"},    {"D1", "[slow]"},    {"D2", "[fast]"},
    {"F0", "[pause]"},    {"F000", "[wait]"}, {"F1", "[color]"},   {"F101", "[red]"},
    {"F102", "[blue]"},   {"F4", "[shake]"},  {"F5", "[clear]"},   {"FE", "[br]"},
    {"FF", "[end]"},
};

// Slips a table being written may hold, for CHECK_TABLE to name: another tool's way of writing
// an entry, a bad key, a key without its `=`, a key above FFFF, an empty text and an entry
// written twice. None of them changes what the dump writes.
inline constexpr std::string_view table_slips =
    "# slips\n/FF=[end]\nG0=[bad]\n4=x\n00010041=[far]\nF3=\nFE=[br]\n";

}  // namespace sample
