#include "io_floor.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::size_t kChunk = 0x10000;
std::array<char, kChunk> window;
std::array<char, kChunk> out;

}  // namespace

int run_io_floor(const char* image_path, const char* script_path, long script_size,
                 const std::vector<long>& window_loads) {
  std::FILE* image = std::fopen(image_path, "rb");
  if (image == nullptr) return 2;
  std::setvbuf(image, nullptr, _IONBF, 0);  // like the dumper: a load is one large read
  std::FILE* script = std::fopen(script_path, "wb");
  if (script == nullptr) return 2;
  std::setvbuf(script, nullptr, _IONBF, 0);

  long loaded = 0;
  for (long offset : window_loads) {
    if (std::fseek(image, offset, SEEK_SET) == 0) {
      loaded += static_cast<long>(std::fread(window.data(), 1, window.size(), image));
    }
  }
  out.fill('x');
  for (long left = script_size; left > 0;) {
    const std::size_t n = std::min<std::size_t>(kChunk, static_cast<std::size_t>(left));
    if (std::fwrite(out.data(), 1, n, script) != n) return 3;
    left -= static_cast<long>(n);
  }
  const bool closed = std::fclose(script) == 0;
  std::fclose(image);
  return closed && loaded > 0 ? 0 : 3;
}
