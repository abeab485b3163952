#include "driver/file_open.h"

#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
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

namespace {

// Opened for reading with read, write and delete sharing, so that while the file is read
// another run may replace it (a dump, while CHECK_SCRIPT reads the script). A folder does
// not open.
std::FILE* open_shared(const char* utf8_path) {
  const std::wstring path = utf8_to_wide(utf8_path);
  if (path.empty()) {
    errno = ENOENT;
    return nullptr;
  }
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = GetLastError() == ERROR_FILE_NOT_FOUND ? ENOENT : EACCES;
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (fd == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "rb");
  if (file == nullptr) _close(fd);
  return file;
}

}  // namespace

#else

std::FILE* open_file(const char* utf8_path, const char* mode) {
  return std::fopen(utf8_path, mode);
}

namespace {

std::FILE* open_shared(const char* utf8_path) {
  return open_file(utf8_path, "rb");
}

}  // namespace

#endif

std::FILE* open_to_read(const char* utf8_path) {
  std::FILE* file = open_shared(utf8_path);
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
