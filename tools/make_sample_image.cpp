// make_sample_image <folder>: writes a sample LoROM image with file blocks and a file index
// (sample.rom), the character table that goes with it (table/table_dump.txt) and the empty
// folder text/ that textdump writes its script into. The image is an independent check of the
// dumper, so nothing here is shared with it.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sample_layout.h"
#include "sample_table.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

constexpr int image_size = 0x200000;
constexpr std::uint8_t blank_byte = 0xFF;

// Where the dumper looks for the file index: a window loaded at image offset 0x198000 whose
// entries start at window offset 0x8000. Each entry is the window offset of a record that holds
// the block pointer (address LE, then bank) 37 bytes in; the records sit just after the index.
constexpr int index_window = 0x198000;
constexpr int index_first_entry = 0x8000;
constexpr int index_entry_count = 279;
constexpr int empty_record = 0x8240;  // holds address 0, bank 0: the dumper skips it
constexpr int first_block_record = 0x8280;
constexpr int record_size = 40;
constexpr int record_pointer = 37;

int image_offset(int bank, int address) {
  return bank * 0x8000 + address - 0x8000;
}  // LoROM: 32 KiB per bank

bool fail(const std::string& message) {
  std::cerr << "make_sample_image: " << message << '\n';
  return false;
}

std::string hex(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
  return text;
}

std::string hex2(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
  return text;
}

// Bytes of a string written as text with {XX ...} for raw bytes (two hex digits each); nullopt
// when the braces are malformed.
std::optional<Bytes> encode_string(std::string_view notation) {
  Bytes bytes;
  std::size_t at = 0;
  while (at < notation.size()) {
    if (notation[at] != '{') {
      bytes.push_back(static_cast<std::uint8_t>(notation[at++]));
      continue;
    }
    const std::size_t close = notation.find('}', at);
    if (close == std::string_view::npos) return std::nullopt;
    for (std::string_view raw = notation.substr(at + 1, close - at - 1); !raw.empty();) {
      if (raw.front() == ' ') {
        raw.remove_prefix(1);
        continue;
      }
      unsigned value = 0;
      const auto [end, error] =
          std::from_chars(raw.data(), raw.data() + std::min<std::size_t>(2, raw.size()), value, 16);
      if (error != std::errc() || end != raw.data() + 2) return std::nullopt;
      bytes.push_back(static_cast<std::uint8_t>(value));
      raw.remove_prefix(2);
    }
    at = close + 1;
  }
  return bytes;
}

// A file block: LE 16-bit offsets from the block's start (the first one is the table's own
// size), then the strings in the same order, back to back.
std::optional<Bytes> encode_block(const sample::Block& block) {
  std::vector<Bytes> strings;
  for (std::string_view notation : block.strings) {
    auto bytes = encode_string(notation);
    if (!bytes || bytes->empty() || (bytes->back() != 0xD0 && bytes->back() != 0xFF))
      return std::nullopt;
    strings.push_back(*bytes);
  }
  Bytes table;
  Bytes text;
  const std::size_t table_size = 2 * strings.size();
  for (const Bytes& string : strings) {
    const std::size_t offset = table_size + text.size();
    table.push_back(static_cast<std::uint8_t>(offset & 0xFF));
    table.push_back(static_cast<std::uint8_t>(offset >> 8));
    text.insert(text.end(), string.begin(), string.end());
  }
  table.insert(table.end(), text.begin(), text.end());
  return table;
}

// The image under construction. Each byte may be placed once, so blocks and records that
// would overlap are found here rather than in the dumper's output.
class Image {
 public:
  bool place(int offset, const Bytes& bytes) {
    if (offset < 0 || offset + static_cast<int>(bytes.size()) > image_size)
      return fail("bytes outside the image at offset " + hex(offset));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (placed_[offset + i])
        return fail("two things placed at image offset " + hex(offset + static_cast<int>(i)));
      placed_[offset + i] = true;
      bytes_[offset + i] = bytes[i];
    }
    return true;
  }

  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_ = Bytes(image_size, blank_byte);
  std::vector<bool> placed_ = std::vector<bool>(image_size, false);
};

Bytes le_word(int value) {
  return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
}

bool place_blocks(Image& image) {
  for (const sample::Block& block : sample::blocks) {
    const auto bytes = encode_block(block);
    if (!bytes)
      return fail("malformed string in the block at " + hex(block.bank) + ":" + hex(block.address));
    if (!image.place(image_offset(block.bank, block.address), *bytes)) return false;
  }
  return true;
}

// A record of zeros whose block pointer field holds the given address and bank.
Bytes record(int bank, int address) {
  Bytes bytes(record_size, 0x00);
  bytes[record_pointer] = static_cast<std::uint8_t>(address & 0xFF);
  bytes[record_pointer + 1] = static_cast<std::uint8_t>(address >> 8);
  bytes[record_pointer + 2] = static_cast<std::uint8_t>(bank);
  return bytes;
}

bool place_file_index(Image& image) {
  std::vector<int> entries(index_entry_count, empty_record);
  int next_record = first_block_record;
  for (const sample::IndexEntry& entry : sample::index_entries) {
    if (entry.number < 0 || entry.number >= index_entry_count)
      return fail("index entry number out of range");
    entries[entry.number] = next_record;
    if (!image.place(index_window + next_record, record(entry.bank, entry.address))) return false;
    next_record += record_size;
  }
  if (next_record > 0x10000) return fail("index records run past the index window");
  if (!image.place(index_window + empty_record, record(0, 0))) return false;
  for (int number = 0; number < index_entry_count; ++number)
    if (!image.place(index_window + index_first_entry + 2 * number, le_word(entries[number])))
      return false;
  return true;
}

// Characters first, LF line ends; the control codes with CR LF, as a table edited elsewhere may
// have.
std::string table_text() {
  std::string text = "// Table for the sample image made by make_sample_image\n# characters\n";
  for (char character : sample::table_characters)
    text += hex2(static_cast<unsigned char>(character)) + "=" + character + "\n";
  text += "# control codes and run pages\r\n";
  for (const sample::TableEntry& entry : sample::table_codes)
    text += std::string(entry.key) + "=" + std::string(entry.text) + "\r\n";
  return text;
}

bool write_file(const fs::path& path, std::string_view data) {
  std::ofstream file(path, std::ios::binary);
  file.write(data.data(), static_cast<std::streamsize>(data.size()));
  file.close();
  if (!file) return fail("cannot write " + path.string());
  return true;
}

bool write_sample(const fs::path& folder, const Image& image) {
  std::error_code error;
  fs::create_directories(folder / "table", error);
  if (!error) fs::create_directories(folder / "text", error);
  if (error) return fail("cannot create folders in " + folder.string() + ": " + error.message());
  const Bytes& bytes = image.bytes();
  return write_file(folder / "sample.rom",
                    std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())) &&
         write_file(folder / "table" / "table_dump.txt", table_text());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: make_sample_image <folder>\n";
    return 2;
  }
  Image image;
  if (!place_blocks(image) || !place_file_index(image)) return 3;
  const fs::path folder = argv[1];
  if (!write_sample(folder, image)) return 1;
  std::cout << "wrote " << (folder / "sample.rom").string() << " (" << sample::blocks.size()
            << " blocks), table/table_dump.txt and text/\n";
  return 0;
}
