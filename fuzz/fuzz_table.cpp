// The character table reader on arbitrary file bytes. The same bytes are read four ways:
// in one chunk, in pieces of changing size, from a file through load_table, and by a
// straightforward whole-file reading of the format kept here. All four tables must be
// equal, and every defined entry must hold 1 to 39 bytes and no CR, LF or NUL. The first
// two also report the table's lines, and must report the same.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "driver/table_file.h"
#include "driver/zeroed_store.h"
#include "fuzz_support.h"
#include "table/table_diagnostics.h"
#include "table/table_parser.h"
#include "table/text_table.h"

namespace {

using fuzz::require;

bool is_ascii_alnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void reference_entry(std::string_view line, TextTable& table) {
  for (std::size_t width : {2, 4, 6, 8}) {
    if (width >= line.size() || line[width] != '=') continue;
    std::uint32_t key = 0;
    for (std::size_t i = 0; i < width; ++i) {
      const int digit = hex_digit(line[i]);
      if (digit < 0) return;
      key = key * 16 + static_cast<std::uint32_t>(digit);
    }
    if (key >= TextTable::kCodes) return;
    std::string_view value = line.substr(width + 1);
    value = value.substr(0, value.find_first_of("\r\n"));
    table.set(static_cast<int>(key), value.substr(0, TextTable::kMaxText));
    return;
  }
}

// The format read the plain way: the whole file at once, as a text-mode reader sees it.
void reference_read(std::string_view file, TextTable& table) {
  if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);
  file = file.substr(0, file.find('\x1A'));  // Ctrl-Z ends the file
  std::string text;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n') continue;
    text += file[i];
  }
  // Lines come in pieces of at most 255 characters; each piece is a C string.
  std::string_view rest = text;
  while (!rest.empty()) {
    std::size_t length = std::min<std::size_t>(rest.size(), 255);
    const std::size_t line_feed = rest.substr(0, length).find('\n');
    if (line_feed != std::string_view::npos) length = line_feed + 1;
    std::string_view piece = rest.substr(0, length);
    rest.remove_prefix(length);
    piece = piece.substr(0, piece.find('\0'));
    if (!piece.empty() && is_ascii_alnum(piece.front())) reference_entry(piece, table);
  }
}

// Piece sizes from 0 up, so that CR LF pairs, the byte-order mark and 255-character pieces
// are split in many places across the corpus.
void read_in_pieces(std::string_view file, TextTable& table, TableObserver* observer) {
  TableParser parser(table, observer);
  std::uint32_t state = static_cast<std::uint32_t>(file.size()) * 2654435761u + 1;
  while (!file.empty()) {
    state = state * 1103515245u + 12345u;
    const std::size_t bits = state >> 16;
    const std::size_t size = bits % 8 == 0 ? bits % 600 : bits % 5;
    parser.feed(file.substr(0, size));
    file.remove_prefix(std::min(size, file.size()));
  }
  parser.finish();
}

void read_whole(std::string_view file, TextTable& table, TableObserver* observer) {
  TableParser parser(table, observer);
  parser.feed(file);
  parser.finish();
}

void read_through_file(std::string_view file, TextTable& table) {
  static const int fd = memfd_create("table", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  static std::FILE* const console = std::tmpfile();
  require(fd >= 0 && console != nullptr, "cannot make the table file");
  require(ftruncate(fd, 0) == 0, "cannot empty the table file");
  require(pwrite(fd, file.data(), file.size(), 0) == static_cast<ssize_t>(file.size()),
          "cannot write the table file");
  load_table(path.c_str(), table, console);
  require(std::ftell(console) == 0, "a readable table file was reported missing");
}

// Reads `file` with `read`, and returns the [TABLE] lines it gave.
std::string read_with_report(std::string_view file, TextTable& table,
                             void (*read)(std::string_view, TextTable&, TableObserver*)) {
  static const ZeroedStore<EntryLines> entry_lines;
  fuzz::clear(*entry_lines);
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* console = open_memstream(&text, &size);
  require(console != nullptr, "cannot open the console stream");
  TableDiagnostics diagnostics(console, *entry_lines);
  read(file, table, &diagnostics);
  std::fclose(console);
  std::string report(text, size);
  std::free(text);
  return report;
}

FUZZ_CHECKER bool same_tables(const TextTable& a, const TextTable& b) {
  for (int code = 0; code < TextTable::kCodes; ++code) {
    if (a.defined(code) != b.defined(code)) return false;
    if (a.defined(code) && a.text(code) != b.text(code)) return false;
  }
  return true;
}

FUZZ_CHECKER void check_entries(const TextTable& table) {
  for (int code = 0; code < TextTable::kCodes; ++code) {
    const std::string_view text = table.text(code);
    require(table.defined(code) == !text.empty(), "defined entry without text, or the reverse");
    require(text.size() <= static_cast<std::size_t>(TextTable::kMaxText), "entry over 39 bytes");
    require(text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
            "entry holds CR, LF or NUL");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ZeroedStore<TextTable> whole, pieces, through_file, reference;
  for (const ZeroedStore<TextTable>* store : {&whole, &pieces, &through_file, &reference})
    fuzz::clear(**store);
  const std::string_view file(reinterpret_cast<const char*>(data), size);

  const std::string report = read_with_report(file, *whole, read_whole);
  require(read_with_report(file, *pieces, read_in_pieces) == report,
          "reading in pieces reports other table lines");
  read_through_file(file, *through_file);
  reference_read(file, *reference);

  check_entries(*whole);
  require(same_tables(*whole, *pieces), "reading in pieces gives another table");
  require(same_tables(*whole, *through_file), "reading the file gives another table");
  require(same_tables(*whole, *reference), "the table differs from the plain reading");
  return 0;
}
