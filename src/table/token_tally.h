#pragma once

#include <array>
#include <cstdint>

// What a whole dump would render, counted instead of written: the blocks, strings and
// renderings, and for each table key that had no text, how often its fallback form would
// be written and in which string first. Fixed size: counting allocates nothing.
//
// Keys are table codes 0x0000-0x02FF: a byte rendered on its own (character, control, end
// code, run lead byte) under its own value, a run's follow byte under 0x0100 + p or
// 0x0200 + p, and a parameter control under its control byte alone, the parameters added
// up (TokenRenderings::missing_key says which key a rendering lacks).
struct TokenTally {
  static constexpr int kKeys = 0x300;

  std::uint32_t blocks = 0;                         // one per "[FILE]" progress line
  std::uint32_t strings = 0;                        // region sections included
  std::uint64_t tokens = 0;                         // every rendering, with or without text
  std::array<std::uint32_t, kKeys> missing{};       // fallbacks written, by key
  std::array<std::uint32_t, kKeys> first_string{};  // linear address; valid where missing > 0
  std::uint32_t string_address = 0;                 // of the string being counted

  // One fallback rendering of `key` in the string at linear address `address`.
  void count_missing(int key, std::uint32_t address) {
    if (missing[key]++ == 0) first_string[key] = address;
  }

  // A string at linear address `address` is about to be rendered.
  void begin_string(std::uint32_t address) {
    ++strings;
    string_address = address;
  }
  // One rendering in that string; `missing_key` is the key it lacks, or -1 if it has text.
  void count_token(int missing_key) {
    ++tokens;
    if (missing_key >= 0) count_missing(missing_key, string_address);
  }
};
