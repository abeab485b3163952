#include "driver/file_open.h"

std::FILE* open_file(const char* utf8_path, const char* mode) {
  return std::fopen(utf8_path, mode);
}
