#include "support/captured_file.h"

std::string CapturedFile::contents() const {
  std::fflush(file_);
  const long end = std::ftell(file_);
  std::string bytes(static_cast<std::size_t>(end), '\0');
  std::rewind(file_);
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file_);
  bytes.resize(got);
  std::fseek(file_, 0, SEEK_END);
  return bytes;
}
