#pragma once

#include <array>
#include <cstdint>

// The image's text encoding: what a byte means where a token starts. The decoder, the
// renderings and the encoder all read it from here.
//
//   00-BE  character                   one byte; table key b, fallback "<$XX>"
//   BF     control with a parameter    b, p; table key BF00 + p
//   C0-C7  run of page-1 characters    b as a character, then b - BF follow bytes p (1-8),
//                                      each under table key 0100 + p
//   C8-CF  run of page-2 characters    the same with b - C7 follow bytes, keys 0200 + p
//   D0     end of the string           then three line ends
//   D1-EF  control                     one byte; table key b, fallback "<CODE XX>"
//   F0-F3  control with a parameter    b, p; table key b * 0x100 + p
//   F4-FD  control                     one byte
//   FE     line break                  then one line end; the string goes on
//   FF     end of the string           then three line ends
enum class ByteKind : std::uint8_t {
  kCharacter,
  kParameterControl,
  kRunLead,
  kControl,
  kLineBreak,
  kEnd,
};

struct ByteClass {
  ByteKind kind;
  // Bytes that follow the lead byte: 1 for a parameter control, 1-8 for a run lead, else 0.
  std::uint8_t follow;
  // For a run, the table page its follow bytes are looked up on: the key of follow byte p is
  // follow_page + p, 0x0100 or 0x0200. 0 for every other byte: a parameter's key is the
  // control times 0x100 plus p, and its slot TokenRenderings::parameter_slot().
  std::uint16_t follow_page;
};

constexpr ByteClass byte_class(int b) {
  if (b <= 0xBE) return {ByteKind::kCharacter, 0, 0};
  if (b == 0xBF || (b >= 0xF0 && b <= 0xF3)) return {ByteKind::kParameterControl, 1, 0};
  if (b <= 0xC7) return {ByteKind::kRunLead, static_cast<std::uint8_t>(b - 0xBF), 0x0100};
  if (b <= 0xCF) return {ByteKind::kRunLead, static_cast<std::uint8_t>(b - 0xC7), 0x0200};
  if (b == 0xD0 || b == 0xFF) return {ByteKind::kEnd, 0, 0};
  if (b == 0xFE) return {ByteKind::kLineBreak, 0, 0};
  return {ByteKind::kControl, 0, 0};
}

inline constexpr std::array<ByteClass, 256> kByteClasses = [] {
  std::array<ByteClass, 256> classes{};
  for (int b = 0; b < 256; ++b) classes[b] = byte_class(b);
  return classes;
}();

// How many bytes are parameter controls: each has a page of 256 parameters.
inline constexpr int kParameterControls = [] {
  int controls = 0;
  for (const ByteClass& c : kByteClasses) controls += c.kind == ByteKind::kParameterControl;
  return controls;
}();

// The longest run and the most bytes one token takes: a run's lead and its follow bytes.
inline constexpr int kLongestRun = 8;
inline constexpr int kLongestToken = 1 + kLongestRun;

// Bytes the decoder renders as characters when the table has no text for them ("<$XX>"):
// characters and run leads. Every other byte on its own is a control ("<CODE XX>").
constexpr bool renders_as_character(ByteKind kind) {
  return kind == ByteKind::kCharacter || kind == ByteKind::kRunLead;
}

// The line ends written after a token's text: three after an end code, one after the line
// break, none after anything else.
constexpr int line_ends_after(ByteKind kind) {
  return kind == ByteKind::kEnd ? 3 : kind == ByteKind::kLineBreak ? 1 : 0;
}

// The codes that compete for one place of a string, as sets named by their lowest table page:
// page 00 for the codes that start a token (the single bytes, and the page of each parameter
// control), a run's page for its follow bytes. A code on any other page occurs in no string.
inline constexpr int kTokenStartSet = 0;
inline constexpr int kNoSet = -1;
inline constexpr std::array<int, 256> kCodeSetOfPage = [] {
  std::array<int, 256> sets{};
  sets.fill(kNoSet);
  sets[0] = kTokenStartSet;
  for (int b = 0; b < 0x100; ++b) {
    const ByteClass& c = kByteClasses[b];
    if (c.kind == ByteKind::kParameterControl) sets[b] = kTokenStartSet;  // key b * 0x100 + p
    if (c.kind == ByteKind::kRunLead) sets[c.follow_page >> 8] = c.follow_page >> 8;
  }
  return sets;
}();

constexpr int code_set(int code) {
  return kCodeSetOfPage[code >> 8];
}
constexpr bool code_occurs(int code) {
  return code_set(code) != kNoSet;
}

// Each set's name is its lowest page, and that page is in it.
static_assert([] {
  for (int page = 0; page < 0x100; ++page) {
    const int set = kCodeSetOfPage[page];
    if (set != kNoSet && (set > page || kCodeSetOfPage[set] != set)) return false;
  }
  return true;
}());
static_assert(code_set(0x00FF) == kTokenStartSet && code_set(0x0100) != kTokenStartSet);
static_assert(code_set(0x01FF) != code_set(0x0200) && code_occurs(0x02FF) && !code_occurs(0x0300));
static_assert(!code_occurs(0xBEFF) && code_set(0xBF00) == kTokenStartSet);
static_assert(code_set(0xF000) == kTokenStartSet && code_set(0xF3FF) == kTokenStartSet);
static_assert(!code_occurs(0xF400) && !code_occurs(0xFFFF));

static_assert(byte_class(0xC7).follow == kLongestRun && byte_class(0xCF).follow == kLongestRun);
static_assert(byte_class(0xC0).follow == 1 && byte_class(0xC8).follow == 1);
