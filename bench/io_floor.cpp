// io_floor <image> <script> <script bytes> <window loads file>: what a dump cannot avoid, and
// nothing else. It makes the dump's window loads (one image offset a line in the loads file,
// each a 64 KiB read into one buffer, as the dumper does) and writes a script of the same size
// in 64 KiB pieces, to a temporary file renamed over the script at the end, as the dumper
// does. It is linked like the dumper, so the two also start alike.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t kChunk = 0x10000;
std::array<char, kChunk> window;
std::array<char, kChunk> out;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: io_floor <image> <script> <script bytes> <window loads file>\n", stderr);
    return 2;
  }
  std::FILE* image = std::fopen(argv[1], "rb");
  std::FILE* loads = std::fopen(argv[4], "r");
  const std::string temp = std::string(argv[2]) + ".tmp";
  std::FILE* script = std::fopen(temp.c_str(), "wb");
  if (image == nullptr || loads == nullptr || script == nullptr) return 2;
  std::setvbuf(image, nullptr, _IONBF, 0);
  std::setvbuf(script, nullptr, _IONBF, 0);

  long loaded = 0;
  for (long offset; std::fscanf(loads, "%ld", &offset) == 1;) {
    if (std::fseek(image, offset, SEEK_SET) == 0)
      loaded += static_cast<long>(std::fread(window.data(), 1, window.size(), image));
  }
  out.fill('x');
  for (long left = std::atol(argv[3]); left > 0;) {
    const std::size_t n = std::min<std::size_t>(kChunk, static_cast<std::size_t>(left));
    if (std::fwrite(out.data(), 1, n, script) != n) return 3;
    left -= static_cast<long>(n);
  }
  const bool closed = std::fclose(script) == 0 && std::rename(temp.c_str(), argv[2]) == 0;
  std::fclose(image);
  std::fclose(loads);
  return closed && loaded > 0 ? 0 : 3;
}
