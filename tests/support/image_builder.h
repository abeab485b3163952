#pragma once

#include <cstdio>
#include <string>

#include "support/file_block.h"

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
