#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The text that stands for each 16-bit code of the image's string encoding.
// Single-byte codes use 0x00xx, the follow bytes of character runs 0x01xx and 0x02xx,
// two-byte controls hi * 0x100 + parameter.
//
// Each code may have up to 39 bytes of text, yet most texts are a few bytes long and a table
// defines a few thousand codes at most. So the texts are not kept in a 40-byte slot per code,
// which would spread a table's texts over some twenty pages, but back to back in the order
// they are defined: each in a place of 8, 16 or 40 bytes, the smallest that holds it. A later,
// longer text for the same code moves to a larger place. Three places a code at most, so the
// store never runs out: kCodes * (8 + 16 + 40) bytes, of which a run touches only what the
// table fills.
class TextTable {
 public:
  static constexpr int kCodes = 0x10000;
  static constexpr int kMaxText = 39;

  bool defined(int code) const { return (refs_[code] & kLengthMask) != 0; }
  std::string_view text(int code) const {
    return {bytes_.data() + (refs_[code] >> kOffsetShift), refs_[code] & kLengthMask};
  }

  // Stores `value` (cut to kMaxText bytes) as the text of `code`; an empty value
  // leaves the entry undefined, also over an earlier definition.
  void set(int code, std::string_view value);

 private:
  // The sizes of a text's place, the first for none: each text moves at most through all.
  static constexpr std::array<std::uint32_t, 4> kPlaceSizes = {0, 8, 16, 40};
  static constexpr std::uint32_t kLengthMask = 0x3F;
  static constexpr std::uint32_t kPlaceShift = 6;
  static constexpr std::uint32_t kPlaceMask = 3;  // the index in kPlaceSizes
  static constexpr std::uint32_t kOffsetShift = 8;
  static constexpr std::size_t kRoom =
      std::size_t{kCodes} * (kPlaceSizes[1] + kPlaceSizes[2] + kPlaceSizes[3]);
  static_assert(kPlaceSizes.back() >= kMaxText, "the largest place must hold any text");
  static_assert(kMaxText <= kLengthMask && kLengthMask < std::uint32_t{1} << kPlaceShift);
  static_assert(kPlaceSizes.size() == kPlaceMask + 1 &&
                (kPlaceMask << kPlaceShift) < std::uint32_t{1} << kOffsetShift);
  static_assert(kRoom <= std::size_t{1} << (32 - kOffsetShift), "offsets must fit the reference");

  // Per code: the offset of its place in bytes_, the place's size class and the text's length.
  // Zero at start (the table lives in zeroed storage: a ZeroedStore, or value-initialised):
  // every entry starts undefined. The arrays have no initializer, which would clear every page.
  std::array<std::uint32_t, kCodes> refs_;
  std::uint32_t used_ = 0;
  std::array<char, kRoom> bytes_;
};
