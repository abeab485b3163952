#include "driver/whole_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "driver/file_open.h"
#include "driver/script_file.h"

std::optional<std::string> read_whole(const char* path) {
  std::FILE* file = open_to_read(path);
  if (file == nullptr) return std::nullopt;
  std::string text;
  // Room for the whole file at once, where its size can be told: a pipe's cannot.
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    if (size > 0) text.reserve(static_cast<std::size_t>(size));
    std::rewind(file);
  }
  char piece[1 << 16];
  for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;)
    text.append(piece, got);
  const bool read = !std::ferror(file);
  std::fclose(file);
  if (!read) return std::nullopt;
  return text;
}

std::optional<std::string> read_original() {
  std::error_code error;
  if (!std::filesystem::is_regular_file(kOriginalPath, error)) return std::nullopt;
  return read_whole(kOriginalPath);
}
