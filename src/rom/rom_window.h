#pragma once

#include <array>
#include <cstdint>
#include <cstdio>

// A 64 KiB view of the image with a read cursor. Reads past the end of the window
// give the sentinels 0xFF and 0xFFFF; 0xFF is also the strings' end code, so a string
// that runs off the window ends there.
struct RomWindow {
  static constexpr int kSize = 0x10000;

  std::array<std::uint8_t, kSize> buffer;  // zero in zeroed storage: no initializer
  // Window offset of the next byte. Reads never move it past kSize, but a caller may
  // set it higher; every value of kSize or more is past the end.
  int cursor = 0;
};

// Fills the window from `image_offset` on (the caller then sets the cursor). Whatever
// the image does not hold there (past its end, or before its start) reads as 0xFF.
// False if a read of the image failed, as on a failing disk; the bytes it did not give
// read as 0xFF too.
[[nodiscard]] bool load_window(RomWindow& window, std::FILE* image, long image_offset);

inline int read_byte(RomWindow& window) {
  if (window.cursor >= RomWindow::kSize) return 0xFF;
  return window.buffer[window.cursor++];
}

// Little-endian. A word that starts on the window's last byte loses its low byte:
// the result is 0xFFFF and the cursor stops at the end.
inline int read_word(RomWindow& window) {
  if (window.cursor >= RomWindow::kSize) return 0xFFFF;
  const int low = window.buffer[window.cursor++];
  if (window.cursor == RomWindow::kSize) return 0xFFFF;
  const int high = window.buffer[window.cursor++];
  return low | high << 8;
}
