#include "driver/file_open.h"

#ifdef _WIN32

#include <cerrno>
#include <string>

#include "driver/wide_text.h"

std::FILE* open_file(const char* utf8_path, const char* mode) {
  const std::wstring path = utf8_to_wide(utf8_path);
  if (path.empty()) {  // empty, or not UTF-8: names no file
    errno = ENOENT;
    return nullptr;
  }
  return _wfopen(path.c_str(), utf8_to_wide(mode).c_str());
}

#else

std::FILE* open_file(const char* utf8_path, const char* mode) {
  return std::fopen(utf8_path, mode);
}

#endif

std::FILE* open_to_read(const char* utf8_path) {
  std::FILE* file = open_file(utf8_path, "rb");
  if (file == nullptr) return nullptr;
  std::setvbuf(file, nullptr, _IONBF, 0);
  const int first = std::fgetc(file);
  if (std::ferror(file)) {
    std::fclose(file);
    return nullptr;
  }
  if (first != EOF) std::ungetc(first, file);  // a pipe cannot be rewound
  return file;
}
