// The whole dump (header and plan) over a 2 MiB image: a fixed background that holds a file
// index and blocks of every kind the plan meets, with areas overwritten by the input. Input:
//   2 bytes      length of the table file (at most 4096), then that many bytes of it
//   then patches, each: an area number, a 32-bit place in the area, a length - 1, the bytes
// The script must open with the header, use CR LF line ends only and end with the eight
// region sections in plan order, each holding only whole strings; the console must hold
// only progress lines and warnings, and every block of the fixed list must be dumped.
// And a script dumped with no table, unedited, must update to exactly the dump with a table
// that defines the input table's codes, each with a text that gives its code back.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/run.h"
#include "driver/zeroed_store.h"
#include "dump/dump_context.h"
#include "dump/dump_plan.h"
#include "dump/plan_tables.h"
#include "dump/string_walk.h"
#include "fuzz_support.h"
#include "rom/address.h"
#include "script/script_header.h"
#include "script/script_reader.h"
#include "script/script_sink.h"
#include "script_update/script_updater.h"
#include "support/expected_text.h"
#include "support/file_block.h"
#include "table/table_parser.h"

namespace {

// The places the plan must visit, written out apart from the dumper's own tables.
using documented::kFixedBlocks;
using documented::kRegions;
using fuzz::require;

constexpr std::size_t kImageSize = 0x200000;
constexpr std::size_t kMaxTable = 4096;
constexpr long kIndexAt = kIndexWindowOffset + kIndexStart;  // image offset of entry 0

// The characters, then the raw codes, then the end code.
Bytes text(const std::string& characters, const Bytes& codes = {}, std::uint8_t end = 0xFF) {
  return text_string(characters + std::string(codes.begin(), codes.end()), end);
}

void put(Bytes& image, long offset, const Bytes& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) image[offset + i] = bytes[i];
}

struct Named {
  int bank;
  int address;
  Bytes block;  // empty: nothing placed there by the index
};

// Blocks the file index names: region banks and others, one that crosses into the next
// bank, one also on the fixed list, one named twice, one before the image's start.
std::vector<Named> indexed_blocks() {
  const Bytes codes = {0xBF, 0x01, 0xC1, 0x10, 0x11, 0xC8, 0x20, 0xF0, 0x02, 0xE0, 0xFE};
  return {
      {0x07, 0x9000, make_block({text("Lamp", codes), text("Wind", {}, 0xD0), text("Rain")})},
      {0x07, 0xC000, make_block({text("Boat"), text("Late", {0xFE})})},
      {0x1C, 0xC000, make_block({text("Storm", codes), text("Nets")})},
      {0x3B, 0xFFF4, make_block({text("Dawn at"), text("The end.")})},
      {0x05, 0x8000, make_block({text("Fog")})},
      {0x10, 0xA000, {}},
      {0x07, 0x9000, {}},
      {0x00, 0x7000, {}},
      {0x30, 0xF000, make_block({text("Stove"), text("Wood")})},
      {0x35, 0x8000, make_block({text("Tide"), text("Crabs")})},
      {0x38, 0xA123, make_block({text("Horn", {0xF0, 0x00}), text("Ship")})},
      {0x3B, 0x8100, make_block({text("Log"), text("New")})},
  };
}

Bytes make_background() {
  Bytes image(kImageSize, 0xFF);
  // Entries left at 0 name the record at window offset 0, whose pointer is 0:0 (skipped).
  for (int j = 0; j < kIndexEntries; ++j) put(image, kIndexAt + 2 * j, {0x00, 0x00});
  put(image, kIndexWindowOffset + kRecordPointer, {0x00, 0x00, 0x00});

  const std::vector<Named> named = indexed_blocks();
  for (std::size_t j = 0; j < named.size(); ++j) {
    const int record = 0x9000 + 0x30 * static_cast<int>(j);
    put(image, kIndexAt + 2 * static_cast<long>(j),
        {static_cast<std::uint8_t>(record), static_cast<std::uint8_t>(record >> 8)});
    put(image, kIndexWindowOffset + record + kRecordPointer,
        {static_cast<std::uint8_t>(named[j].address),
         static_cast<std::uint8_t>(named[j].address >> 8),
         static_cast<std::uint8_t>(named[j].bank)});
    if (!named[j].block.empty())
      put(image, image_offset(named[j].bank, named[j].address), named[j].block);
  }
  // A record whose pointer runs past the index window: address 0xFFFF, bank 0xFF.
  put(image, kIndexAt + 2 * static_cast<long>(named.size()), {0xF0, 0xFF});

  // The fixed list's bank-0 blocks lie 12 bytes apart from 0xE921 on: one short string each.
  for (const documented::Place& at : kFixedBlocks) {
    const bool roomy = at.bank != 0 || at.address < 0xE921;
    put(image, image_offset(at.bank, at.address),
        roomy ? make_block({text("Key", {0xC0, 0x10}), text("Rope", {0xFE}, 0xD0), text("Tin")})
              : make_block({text("Cup")}));
  }
  return image;
}

struct Area {
  long start;
  long size;
};

// Where patches land: the index and its records, the fixed list's bank-0 blocks, two
// region banks with blocks, the end of a bank where a block crosses over, and anywhere.
constexpr Area kAreas[] = {
    {kIndexAt, 2 * kIndexEntries},
    {kIndexWindowOffset, 0x10000},
    {image_offset(0x00, 0xC373), 0xEA05 + 12 - 0xC373},
    {image_offset(0x07, 0x9000), 0x3100},
    {image_offset(0x10, 0xA000), 0x1300},
    {image_offset(0x3B, 0xFF00), 0x200},
    {0, kImageSize},
};

struct Patch {
  long start;
  std::size_t size;
};

std::vector<Patch> apply_patches(fuzz::ByteReader& in, Bytes& image) {
  std::vector<Patch> patches;
  while (in.left() > 0) {
    const Area& area = kAreas[in.u8() % std::size(kAreas)];
    const long start = area.start + static_cast<long>(in.u32() % area.size);
    std::string_view bytes = in.bytes(in.u8() + 1);
    bytes = bytes.substr(0, kImageSize - static_cast<std::size_t>(start));
    for (std::size_t i = 0; i < bytes.size(); ++i)
      image[start + i] = static_cast<std::uint8_t>(bytes[i]);
    patches.push_back({start, bytes.size()});
  }
  return patches;
}

std::string hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

// The header as the script stores it.
const std::string kHeaderBytes = crlf(kHeader);

FUZZ_CHECKER bool read_hex(std::string_view digits, unsigned long& value) {
  if (digits.empty() || digits.size() > 8) return false;
  value = 0;
  for (char c : digits) {
    const auto at = std::string_view("0123456789ABCDEF").find(c);
    if (at == std::string_view::npos) return false;
    value = value * 16 + at;
  }
  return true;
}

// What follows a region's opening: whole strings only, each a blank line, the position
// comment, the #W16 line with the same image offset, and the text with its three line
// breaks. The text itself holds no empty line: every line break inside it follows a
// rendering, and no rendering is empty.
FUZZ_CHECKER bool only_strings(std::string_view section) {
  constexpr std::string_view kEnd = "\r\n\r\n\r\n";
  while (!section.empty()) {
    const std::size_t end = section.find(kEnd);
    if (end == std::string_view::npos) return false;
    std::string_view string = section.substr(0, end);
    section.remove_prefix(end + kEnd.size());
    if (!string.starts_with("\r\n//[")) return false;
    const std::size_t tilde = string.find(" ~ ");
    const std::size_t close = string.find("]\r\n#W16($");
    const std::size_t paren = string.find(")\r\n", close);
    if (tilde == std::string_view::npos || close < tilde || paren == std::string_view::npos)
      return false;
    unsigned long offset = 0;
    unsigned long w16 = 0;
    if (!read_hex(string.substr(tilde + 3, close - tilde - 3), offset) ||
        !read_hex(string.substr(close + 9, paren - close - 9), w16) || offset != w16)
      return false;
  }
  return true;
}

// A table text could spell out a region's opening inside a string: such a forged section
// would show here as a broken order, with the forged lines inside a string of the script.
FUZZ_CHECKER void check_script(std::string_view script) {
  require(script.starts_with(kHeaderBytes), "the script does not open with the header");
  require(line_ends_are_cr_lf(script), "a line end other than CR LF");

  std::size_t end = script.size();
  std::size_t openings[std::size(kRegions)];
  for (std::size_t k = std::size(kRegions); k-- > 0;) {
    const std::string opening = crlf(region_opening(kRegions[k]));
    const std::size_t at =
        end < opening.size() ? std::string_view::npos : script.rfind(opening, end - opening.size());
    require(at != std::string_view::npos && at >= kHeaderBytes.size(),
            "a region section is missing or out of order");
    require(only_strings(script.substr(at + opening.size(), end - at - opening.size())),
            "a region section holds more than whole strings");
    openings[k] = at;
    end = at;
  }
  const std::string_view blocks = script.substr(0, openings[0]);
  require(blocks == kHeaderBytes || blocks.ends_with(kSlashes + "\r\n\r\n\r\n"),
          "something other than a block section comes before the regions");
}

FUZZ_CHECKER void check_console(std::string_view console) {
  require(console.empty() || console.front() == '\n', "a console message without its line feed");
  std::size_t progress_lines = 0;
  for (std::size_t at = 0; at < console.size();) {
    const std::size_t next = std::min(console.find('\n', at + 1), console.size());
    const std::string_view line = console.substr(at + 1, next - at - 1);
    if (line.starts_with("[FILE] ")) {
      ++progress_lines;
    } else {
      require(line.starts_with("[DUMP_LAYER2] FAIL-SAFE (") && line.ends_with(")"),
              "a console line that is neither progress nor warning");
    }
    at = next;
  }
  require(progress_lines >= kFixedBlocks.size(), "fewer progress lines than fixed blocks");
  for (const documented::Place& at : kFixedBlocks) {
    const std::string progress =
        "\n[FILE] " + hex(static_cast<unsigned>(linear_address(at.bank, at.address)), 6) + "-";
    require(console.find(progress) != std::string_view::npos, "a fixed block was not dumped");
  }
}

// The header and the whole dump, with fresh marks.
std::string dump_script(std::FILE* image_file, DumpStores& stores) {
  fuzz::clear(stores.marks);
  fuzz::MemoryStream script_file;
  {
    ScriptSink script(script_file.get());
    DumpContext ctx{image_file, stores.window, stores.marks, stores.renderings, script, nullptr};
    write_script_header(script);
    require(run_dump_plan(ctx), "a read of the image was reported as failed");
  }
  return script_file.take();
}

// What UPDATE_TEXT makes of `script` with today's table, given its original if any.
std::string updated(std::FILE* image_file, DumpStores& stores, std::string_view script,
                    std::optional<std::string_view> original, std::string_view today) {
  fuzz::clear(stores.marks);
  const StringEncoder encoder(stores.table, stores.renderings);
  std::string report;
  Report held(report);
  std::string updated;
  ScriptSink out(updated);
  ScriptUpdater updater(script, original, today, encoder, held, out);
  require(
      walk_strings(image_file, stores.window, stores.marks, stores.renderings, updater).image_read,
      "a read of the image was reported as failed");
  updater.finish();
  require(out.flush(), "the updated script could not be kept");
  require(!updater.parted(), "an unedited script parted from the image");
  return updated;
}

// The start of each section: the line after each position line.
FUZZ_CHECKER std::vector<std::size_t> section_starts(std::string_view script) {
  std::vector<std::size_t> starts;
  for (std::size_t at = 0, next; at < script.size(); at = next) {
    next = std::min(script.find('\n', at), script.size() - 1) + 1;
    std::uint64_t linear;
    std::uint64_t offset;
    if (read_position_line(script.substr(at, next - at - 2), linear, offset))
      starts.push_back(next);
  }
  return starts;
}

// Scripts dumped with the input's table, and with none, updated to the dump with a table of
// the same codes whose texts give their codes back: with no original, the one dumped with no
// table; with the original, any, and a section edited stays byte for byte.
void check_update(std::FILE* image_file, DumpStores& stores) {
  TextTable& table = stores.table;
  const std::string older = dump_script(image_file, stores);  // the input's table
  std::vector<int> codes;
  for (int code = 0; code < TextTable::kCodes; ++code)
    if (table.defined(code)) codes.push_back(code);
  fuzz::clear(table);
  stores.renderings.build(table);
  const std::string unedited = dump_script(image_file, stores);
  // Texts that the encoder takes back as their codes: unique, none the start of another,
  // none starting like a fallback form.
  for (int code : codes) table.set(code, "{" + hex(static_cast<unsigned>(code), 4) + "}");
  stores.renderings.build(table);
  const std::string fresh = dump_script(image_file, stores);

  require(updated(image_file, stores, unedited, std::nullopt, {}) == fresh,
          "an unedited script did not update to the fresh dump");
  require(updated(image_file, stores, older, older, fresh) == fresh,
          "an unedited script with its original did not update to the fresh dump");

  // The first string of a block's own, translated: no table text starts with a letter.
  const std::string_view pointer = "\r\n#WRITE(PtrTable)\r\n\r\n";
  const std::size_t text = older.find(pointer);
  if (text == std::string::npos) return;
  std::string edited = older;
  const std::size_t at = text + pointer.size();
  edited.replace(at, edited.find("\r\n", at) - at, "Translated");
  const std::vector<std::size_t> old_starts = section_starts(edited);
  const std::vector<std::size_t> fresh_starts = section_starts(fresh);
  require(old_starts.size() == fresh_starts.size(), "the dumps hold other position lines");
  const auto k = static_cast<std::size_t>(
      std::upper_bound(old_starts.begin(), old_starts.end(), at) - old_starts.begin() - 1);
  auto section = [](std::string_view script, const std::vector<std::size_t>& starts,
                    std::size_t k) {
    const std::size_t end =
        k + 1 < starts.size() ? script.rfind("\r\n", starts[k + 1] - 3) + 2 : script.size();
    return std::pair{starts[k], end};
  };
  const auto [old_from, old_to] = section(edited, old_starts, k);
  const auto [fresh_from, fresh_to] = section(fresh, fresh_starts, k);
  const std::string expected = fresh.substr(0, fresh_from) +
                               edited.substr(old_from, old_to - old_from) + fresh.substr(fresh_to);
  require(updated(image_file, stores, edited, older, fresh) == expected,
          "an edited section did not stay byte for byte");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Bytes background = make_background();
  static Bytes image = background;
  static const ZeroedStore<DumpStores> stores;
  fuzz::clear(*stores);

  fuzz::ByteReader in(data, size);
  const std::string_view table_file = in.bytes(in.u16() % (kMaxTable + 1));
  {
    TableParser parser(stores->table);
    parser.feed(table_file);
    parser.finish();
  }
  stores->renderings.build(stores->table);
  const std::vector<Patch> patches = apply_patches(in, image);

  std::FILE* image_file = fmemopen(image.data(), image.size(), "rb");
  require(image_file != nullptr, "cannot open the image");
  fuzz::MemoryStream script_file;
  fuzz::MemoryStream console;
  {
    ScriptSink script(script_file.get());
    DumpContext ctx{image_file,         stores->window, stores->marks,
                    stores->renderings, script,         console.get()};
    write_script_header(script);
    // The image is in memory: a short read at its end is the only kind there is.
    require(run_dump_plan(ctx), "a read of the image was reported as failed");
    require(script.flush(), "the script could not be written");
  }
  check_update(image_file, *stores);
  std::fclose(image_file);
  for (const Patch& patch : patches)
    std::copy_n(background.begin() + patch.start, patch.size, image.begin() + patch.start);

  check_script(script_file.take());
  check_console(console.take());
  return 0;
}
