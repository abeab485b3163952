// io_floor <image> <old script> <original> <script> <script bytes> <window loads file>: what a
// dump cannot avoid, and nothing else. It makes the dump's window loads (one image offset a
// line in the loads file, each a 64 KiB read into one buffer, as the dumper does), reads the
// old script beside them, and writes the original and the script, each of the given size in
// 64 KiB pieces to a temporary file, then renames the original's over the original and the
// script's over the script, as the dumper does. It is linked like the dumper, so the two also
// start alike.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t kChunk = 0x10000;
std::array<char, kChunk> window;
std::array<char, kChunk> out;
std::array<char, kChunk> old;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fputs(
        "usage: io_floor <image> <old script> <original> <script> <script bytes> <window loads>\n",
        stderr);
    return 2;
  }
  std::FILE* image = std::fopen(argv[1], "rb");
  std::FILE* old_script = std::fopen(argv[2], "rb");
  std::FILE* loads = std::fopen(argv[6], "r");
  const std::string original_temp = std::string(argv[3]) + ".tmp";
  const std::string script_temp = std::string(argv[4]) + ".tmp";
  std::FILE* original = std::fopen(original_temp.c_str(), "wb");
  std::FILE* script = std::fopen(script_temp.c_str(), "wb");
  if (image == nullptr || old_script == nullptr || loads == nullptr || original == nullptr ||
      script == nullptr)
    return 2;
  for (std::FILE* file : {image, old_script, original, script})
    std::setvbuf(file, nullptr, _IONBF, 0);

  long loaded = 0;
  for (long offset; std::fscanf(loads, "%ld", &offset) == 1;) {
    if (std::fseek(image, offset, SEEK_SET) == 0)
      loaded += static_cast<long>(std::fread(window.data(), 1, window.size(), image));
  }
  out.fill('x');
  long compared = 0;
  for (long left = std::atol(argv[5]); left > 0;) {
    const std::size_t n = std::min<std::size_t>(kChunk, static_cast<std::size_t>(left));
    if (std::fwrite(out.data(), 1, n, script) != n || std::fwrite(out.data(), 1, n, original) != n)
      return 3;
    compared += static_cast<long>(std::fread(old.data(), 1, n, old_script));
    left -= static_cast<long>(n);
  }
  const bool closed = std::fclose(original) == 0 && std::fclose(script) == 0 &&
                      std::rename(original_temp.c_str(), argv[3]) == 0 &&
                      std::rename(script_temp.c_str(), argv[4]) == 0;
  std::fclose(image);
  std::fclose(old_script);
  std::fclose(loads);
  return closed && loaded > 0 && compared > 0 ? 0 : 3;
}
