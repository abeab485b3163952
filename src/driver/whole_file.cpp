#include "driver/whole_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "driver/file_open.h"
#include "driver/script_file.h"

WholeFile read_whole(const char* path, std::string& text) {
  std::FILE* file = open_to_read(path);
  if (file == nullptr) return WholeFile::kCannotOpen;
  text.clear();
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
  return read ? WholeFile::kRead : WholeFile::kReadFailed;
}

std::optional<std::string> read_original() {
  std::error_code error;
  if (!std::filesystem::is_regular_file(kOriginalPath, error)) return std::nullopt;
  std::string original;
  if (read_whole(kOriginalPath, original) != WholeFile::kRead) return std::nullopt;
  return original;
}
