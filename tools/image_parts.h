// What both images the maker writes are made of: LoROM places, the file index the dumper
// reads, and an image in which each byte may be placed once.
#pragma once

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

namespace image_parts {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t blank_byte = 0xFF;

// LoROM: 32 KiB per bank, addresses 0x8000-0xFFFF.
constexpr int image_offset(int bank, int address) {
  return bank * 0x8000 + address - 0x8000;
}

// Where the dumper looks for the file index: a window loaded at image offset 0x198000 whose
// entries start at window offset 0x8000. Each entry is the window offset of a record that holds
// the block pointer (address LE, then bank) 37 bytes in.
constexpr int index_window = 0x198000;
constexpr int index_first_entry = 0x8000;
constexpr int index_entry_count = 279;
constexpr int record_size = 40;
constexpr int record_pointer = 37;

inline Bytes le_word(int value) {
  return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8 & 0xFF)};
}

// A record of zeros whose block pointer field holds the given address and bank.
inline Bytes record(int bank, int address) {
  Bytes bytes(record_size, 0x00);
  bytes[record_pointer] = static_cast<std::uint8_t>(address & 0xFF);
  bytes[record_pointer + 1] = static_cast<std::uint8_t>(address >> 8);
  bytes[record_pointer + 2] = static_cast<std::uint8_t>(bank);
  return bytes;
}

inline bool fail(const std::string& message) {
  std::cerr << "make_sample_image: " << message << '\n';
  return false;
}

// The image under construction. Each byte may be placed once, so blocks and records that
// would overlap are found here rather than in the dumper's output.
class Image {
 public:
  explicit Image(int size) : bytes_(size, blank_byte), placed_(size, false) {}

  bool place(int offset, const Bytes& bytes) {
    if (offset < 0 || offset + bytes.size() > bytes_.size())
      return fail("bytes outside the image at offset " + std::to_string(offset));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (placed_[offset + i])
        return fail("two things placed at image offset " + std::to_string(offset + i));
      placed_[offset + i] = true;
      bytes_[offset + i] = bytes[i];
    }
    return true;
  }

  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  std::vector<bool> placed_;
};

}  // namespace image_parts
