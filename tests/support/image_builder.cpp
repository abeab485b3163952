#include "support/image_builder.h"

ImageBuilder& ImageBuilder::place(int bank, int address, const Bytes& data) {
  return place_at(static_cast<std::size_t>(bank * 0x8000 + address - 0x8000), data);
}

ImageBuilder& ImageBuilder::place_at(std::size_t image_offset, const Bytes& data) {
  if (bytes_.size() < image_offset + data.size()) bytes_.resize(image_offset + data.size(), 0xFF);
  std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<long>(image_offset));
  return *this;
}

std::FILE* ImageBuilder::to_file() const {
  std::FILE* file = std::tmpfile();
  std::fwrite(bytes_.data(), 1, bytes_.size(), file);
  std::fflush(file);
  return file;
}

bool ImageBuilder::save(const std::string& path) const {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
  return std::fclose(file) == 0 && ok;
}

Bytes make_block(const std::vector<int>& offsets, const std::vector<Bytes>& strings) {
  Bytes block;
  for (int offset : offsets) {
    block.push_back(static_cast<std::uint8_t>(offset & 0xFF));
    block.push_back(static_cast<std::uint8_t>(offset >> 8));
  }
  for (const Bytes& s : strings) block.insert(block.end(), s.begin(), s.end());
  return block;
}

Bytes make_block(const std::vector<Bytes>& strings) {
  std::vector<int> offsets;
  int at = static_cast<int>(2 * strings.size());
  for (const Bytes& s : strings) {
    offsets.push_back(at);
    at += static_cast<int>(s.size());
  }
  return make_block(offsets, strings);
}

Bytes text_string(const std::string& text, std::uint8_t end) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(end);
  return bytes;
}
