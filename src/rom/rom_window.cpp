#include "rom/rom_window.h"

#include <cstring>

bool load_window(RomWindow& window, std::FILE* image, long image_offset) {
  std::size_t got = 0;
  bool read = true;
  if (image_offset >= 0) {
    read = std::fseek(image, image_offset, SEEK_SET) == 0;
    if (read) got = std::fread(window.buffer.data(), 1, window.buffer.size(), image);
    // Falling short at the image's end sets only the end-of-file flag.
    read = read && !std::ferror(image);
    std::clearerr(image);  // the next load seeks afresh
  }
  // Never leave bytes of an earlier load behind: they would be read as text.
  std::memset(window.buffer.data() + got, 0xFF, window.buffer.size() - got);
  return read;
}
