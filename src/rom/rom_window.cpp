#include "rom/rom_window.h"

#include <cstring>

bool load_window(RomWindow& window, std::FILE* image, long image_offset) {
  std::size_t got = 0;
  bool read = true;
  // A place the image cannot be positioned at (before its start; past the end of a device)
  // holds nothing, as past the end of a file.
  if (image_offset >= 0 && std::fseek(image, image_offset, SEEK_SET) == 0) {
    got = std::fread(window.buffer.data(), 1, window.buffer.size(), image);
    read = !std::ferror(image);  // falling short at the image's end is no error
    std::clearerr(image);        // the next load seeks afresh
  }
  // Never leave bytes of an earlier load behind: they would be read as text.
  std::memset(window.buffer.data() + got, 0xFF, window.buffer.size() - got);
  return read;
}
