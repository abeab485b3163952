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
