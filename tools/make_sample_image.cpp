// make_sample_image [--dense N [--table KIND]] <folder>: writes a LoROM image with file blocks
// and a file index (sample.rom), the character table that goes with it (table/table_dump.txt)
// and the empty folder text/ that textdump writes its script into: the small sample for the
// end-to-end tests and the demo, or a large dense image for the benchmark. The images are an
// independent check of the dumper, so nothing here is shared with it.

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

#include "dense_image.h"
#include "dense_table.h"
#include "image_parts.h"
#include "sample_layout.h"
#include "sample_table.h"

namespace {

using namespace image_parts;
namespace fs = std::filesystem;

constexpr int image_size = 0x200000;
// The records sit just after the index.
constexpr int empty_record = 0x8240;  // holds address 0, bank 0: the dumper skips it
constexpr int first_block_record = 0x8280;

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

bool place_blocks(Image& image) {
  for (const sample::Block& block : sample::blocks) {
    const auto bytes = encode_block(block);
    if (!bytes)
      return fail("malformed string in the block at " + hex(block.bank) + ":" + hex(block.address));
    if (!image.place(image_offset(block.bank, block.address), *bytes)) return false;
  }
  return true;
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
// have; last the slips.
std::string table_text() {
  std::string text = "// Table for the sample image made by make_sample_image\n# characters\n";
  for (char character : sample::table_characters)
    text += hex2(static_cast<unsigned char>(character)) + "=" + character + "\n";
  text += "# control codes and run pages\r\n";
  for (const sample::TableEntry& entry : sample::table_codes)
    text += std::string(entry.key) + "=" + std::string(entry.text) + "\r\n";
  text += sample::table_slips;
  return text;
}

bool write_file(const fs::path& path, std::string_view data) {
  std::ofstream file(path, std::ios::binary);
  file.write(data.data(), static_cast<std::streamsize>(data.size()));
  file.close();
  if (!file) return fail("cannot write " + path.string());
  return true;
}

// The image, its table and the empty folder text/ for the script.
bool write_folder(const fs::path& folder, const Bytes& bytes, std::string_view table) {
  std::error_code error;
  fs::create_directories(folder / "table", error);
  if (!error) fs::create_directories(folder / "text", error);
  if (error) return fail("cannot create folders in " + folder.string() + ": " + error.message());
  return write_file(folder / "sample.rom",
                    std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())) &&
         write_file(folder / "table" / "table_dump.txt", table);
}

int make_sample(const fs::path& folder) {
  Image image(image_size);
  if (!place_blocks(image) || !place_file_index(image)) return 3;
  if (!write_folder(folder, image.bytes(), table_text())) return 1;
  std::cout << "wrote " << (folder / "sample.rom").string() << " (" << sample::blocks.size()
            << " blocks), table/table_dump.txt and text/\n";
  return 0;
}

// The dense image also leaves window_loads.txt: the image offsets a dump loads its window at,
// one a line, for a benchmark that repeats the dump's reads without its work.
int make_dense(const fs::path& folder, int density, DenseTable table) {
  const DenseImage image = make_dense_image(density);
  std::string loads;
  for (long offset : image.window_loads) loads += std::to_string(offset) + "\n";
  if (!write_folder(folder, image.bytes, dense_table_text(table)) ||
      !write_file(folder / "window_loads.txt", loads))
    return 1;
  std::cout << "wrote " << (folder / "sample.rom").string() << " (" << image.blocks << " blocks, "
            << image.strings << " strings, " << image.region_strings
            << " of them written twice), table/table_dump.txt, text/ and window_loads.txt\n";
  return 0;
}

constexpr char kUsage[] =
    "usage: make_sample_image [--dense 1|2|4 [--table full|empty|mixed]] <folder>\n";

int usage() {
  std::cerr << kUsage;
  return 2;
}

// --help or -h, first: the usage and what the maker writes, on standard output.
int help() {
  std::cout << kUsage
            << "\n"
               "Writes into <folder> (created if missing) a synthetic LoROM image, sample.rom,\n"
               "with its character table table/table_dump.txt and an empty text/. With\n"
               "--dense N: a 4 MiB image with a block for every file index entry and N times\n"
               "the strings, a table that is full (the default), empty, or mixed, and\n"
               "window_loads.txt, the image offsets a dump loads its window at.\n";
  return 0;
}

}  // namespace

// The small sample by default. With --dense N: a 4 MiB image with a block
// for every file index entry and N times the strings, and a table that is full (the default),
// empty, or mixed.
int main(int argc, char** argv) {
  int density = 0;
  DenseTable table = DenseTable::full;
  bool table_given = false;
  if (argc >= 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h"))
    return help();
  int at = 1;
  for (; at + 1 < argc; at += 2) {
    const std::string_view option = argv[at];
    const std::string_view value = argv[at + 1];
    if (option == "--dense" && (value == "1" || value == "2" || value == "4")) {
      density = value[0] - '0';
    } else if (option == "--table" && (value == "full" || value == "empty" || value == "mixed")) {
      table = value == "full"    ? DenseTable::full
              : value == "empty" ? DenseTable::empty
                                 : DenseTable::mixed;
      table_given = true;
    } else {
      return usage();
    }
  }
  if (at + 1 != argc || (table_given && density == 0)) return usage();
  const fs::path folder = argv[at];
  try {
    return density == 0 ? make_sample(folder) : make_dense(folder, density, table);
  } catch (const std::exception& error) {
    fail(error.what());
    return 3;
  }
}
