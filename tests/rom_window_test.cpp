#include "rom/rom_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "rom/address.h"
#include "support/image_builder.h"

namespace {

// A byte pattern that never holds 0xFF, so a byte read from the image is told apart
// from a byte the load filled in.
std::uint8_t pattern_byte(long image_offset) {
  return static_cast<std::uint8_t>(image_offset % 251);
}

TEST(RomWindow, reads_at_and_past_the_window_end_give_sentinels) {
  enum Read { kByte, kWord };
  struct Step {
    Read read;
    int value;
    int cursor_after;
  };
  struct Case {
    const char* name;
    int cursor;
    std::vector<Step> steps;
  };
  // The window's last bytes are 0x34 (at 0xFFFE) and 0x12 (at 0xFFFF).
  const Case cases[] = {
      {"word inside the window is little-endian", 0xFFFE, {{kWord, 0x1234, 0x10000}}},
      {"word on the last byte drops its low byte",
       0xFFFF,
       {{kWord, 0xFFFF, 0x10000}, {kByte, 0xFF, 0x10000}}},
      {"byte on the last byte is the buffer's byte", 0xFFFF, {{kByte, 0x12, 0x10000}}},
      {"reads at the end never move the cursor",
       0x10000,
       {{kByte, 0xFF, 0x10000},
        {kByte, 0xFF, 0x10000},
        {kWord, 0xFFFF, 0x10000},
        {kByte, 0xFF, 0x10000}}},
      {"a cursor set above the end stays there",
       0x10024,
       {{kByte, 0xFF, 0x10024}, {kWord, 0xFFFF, 0x10024}, {kByte, 0xFF, 0x10024}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto window = std::make_unique<RomWindow>();
    window->buffer[0xFFFE] = 0x34;
    window->buffer[0xFFFF] = 0x12;
    window->cursor = c.cursor;
    for (const Step& step : c.steps) {
      const int got = step.read == kByte ? read_byte(*window) : read_word(*window);
      EXPECT_EQ(got, step.value);
      EXPECT_EQ(window->cursor, step.cursor_after);
    }
  }
}

#ifdef __GLIBC__
// The image's bytes up to `fails_from`; a read at or past it fails, as on a failing disk.
// Like a device, it cannot be positioned past its end.
struct FailingImage {
  const Bytes* bytes;
  long fails_from;
  long at = 0;
};

std::FILE* open_failing_image(const Bytes& bytes, long fails_from) {
  cookie_io_functions_t io{};
  io.read = [](void* cookie, char* out, std::size_t size) -> ssize_t {
    auto* image = static_cast<FailingImage*>(cookie);
    if (image->at >= image->fails_from) return -1;
    const std::size_t n = std::min(size, static_cast<std::size_t>(image->fails_from - image->at));
    std::memcpy(out, image->bytes->data() + image->at, n);
    image->at += static_cast<long>(n);
    return static_cast<ssize_t>(n);
  };
  io.seek = [](void* cookie, off64_t* offset, int whence) {
    auto* image = static_cast<FailingImage*>(cookie);
    if (whence != SEEK_SET || *offset > static_cast<off64_t>(image->bytes->size())) return -1;
    image->at = static_cast<long>(*offset);
    return 0;
  };
  io.close = [](void* cookie) {
    delete static_cast<FailingImage*>(cookie);
    return 0;
  };
  return fopencookie(new FailingImage{&bytes, fails_from}, "rb", io);
}
#endif

TEST(RomWindow, load_fills_what_the_image_does_not_hold_with_end_codes) {
  constexpr long kImageSize = 0x18000;
  ImageBuilder image(kImageSize);
  Bytes contents(kImageSize);
  for (long i = 0; i < kImageSize; ++i) contents[static_cast<std::size_t>(i)] = pattern_byte(i);
  image.place_at(0, contents);
  std::FILE* file = image.to_file();

  struct Case {
    const char* name;
    long image_offset;
    long bytes_from_image;  // the rest of the window must read 0xFF
    long fails_from = -1;   // a device whose reads fail from this offset on
    bool loads = true;
  };
  const Case cases[] = {
      {"whole window inside the image", 0x4000, 0x10000},
      {"window running over the image end", 0x10000, 0x8000},
      {"window holding the image's last byte only", 0x17FFF, 1},
      {"window starting at the image end", 0x18000, 0},
      {"window wholly past the image", 0x40000, 0},
      {"negative offset", -1, 0},
      {"negative offset of bank 0, address 0", image_offset(0, 0), 0},
      {"read failing at once", 0x4000, 0, 0x4000, false},
      {"read failing part-way", 0x4000, 0x2000, 0x6000, false},
      {"window past the end of a device", 0x40000, 0, kImageSize},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::FILE* from = file;
    if (c.fails_from >= 0) {
#ifdef __GLIBC__
      from = open_failing_image(contents, c.fails_from);
#else
      continue;  // a stream whose reads fail needs glibc's fopencookie
#endif
    }
    auto window = std::make_unique<RomWindow>();
    EXPECT_TRUE(load_window(*window, file, 0));  // fills the whole buffer with image bytes first
    EXPECT_EQ(load_window(*window, from, c.image_offset), c.loads);
    int wrong = 0;
    for (long w = 0; w < RomWindow::kSize; ++w) {
      const int expected = w < c.bytes_from_image ? pattern_byte(c.image_offset + w) : 0xFF;
      if (window->buffer[static_cast<std::size_t>(w)] != expected && wrong++ < 3)
        ADD_FAILURE() << "window offset " << std::hex << w << " holds "
                      << int{window->buffer[static_cast<std::size_t>(w)]} << ", expected "
                      << expected;
    }
    EXPECT_EQ(wrong, 0);
    if (from != file) std::fclose(from);
  }
  std::fclose(file);
}

TEST(Address, image_offset_and_linear_address_follow_the_lorom_layout) {
  struct Case {
    int bank;
    int address;
    int window_offset;
    int image_offset;
    int linear;
  };
  const Case cases[] = {
      {0x33, 0x8000, 0, 0x198000, 0x338000},
      {0x10, 0xA000, 0, 0x82000, 0x10A000},
      {0x00, 0x8000, 0, 0x000000, 0x008000},
      {0x00, 0xE000, 0x9000, 0x00F000, 0x017000},
      {0x07, 0x9000, 0x0004, 0x039004, 0x079004},
      {0x00, 0x7FFF, 0, -1, 0x007FFF},              // bank 0 below 0x8000 lies before the image
      {0x01, 0x0000, 0, 0x000000, 0x010000},        // lands in the previous bank's bytes
      {0xFF, 0xFFFF, 0, 0x7FFFFF, 0xFFFFFF},        // the last of the mark map
      {0xFF, 0xFFFF, 0xFFFF, 0x80FFFE, 0x100FFFE},  // past it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << "bank " << c.bank << ", address " << c.address
                                      << " + " << c.window_offset);
    EXPECT_EQ(image_offset(c.bank, c.address) + c.window_offset, c.image_offset);
    EXPECT_EQ(linear_address(c.bank, c.address) + c.window_offset, c.linear);
  }
}

}  // namespace
