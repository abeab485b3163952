#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// An image under construction: 0xFF wherever nothing was placed.
class ImageBuilder {
 public:
  explicit ImageBuilder(std::size_t size = 0x200000) : bytes_(size, 0xFF) {}

  // Places `data` at the image offset of (bank, address), growing the image if needed.
  ImageBuilder& place(int bank, int address, const Bytes& data);
  ImageBuilder& place_at(std::size_t image_offset, const Bytes& data);

  const Bytes& bytes() const { return bytes_; }
  // A temporary file holding the image, closed by the caller.
  std::FILE* to_file() const;
  // Writes the image to `path`; false on failure.
  bool save(const std::string& path) const;

 private:
  Bytes bytes_;
};

// A file block: the offset table (each entry as given) followed by the strings, in order.
Bytes make_block(const std::vector<int>& offsets, const std::vector<Bytes>& strings);
// A block whose offsets point at the strings laid out back to back after the table.
Bytes make_block(const std::vector<Bytes>& strings);
// The bytes of `text` followed by `end` (0xFF or 0xD0): letters stand for their own codes.
Bytes text_string(const std::string& text, std::uint8_t end = 0xFF);
