#include "table/table_diagnostics.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <unordered_map>
#include <vector>

#include "decode/encoding.h"

namespace {

const char* reason_text(TableLine::Kind kind) {
  switch (kind) {
    case TableLine::Kind::kNoKeyWidth:
      return "no '=' after a key of 2, 4, 6 or 8 digits";
    case TableLine::Kind::kKeyNotHex:
      return "key is not hexadecimal";
    case TableLine::Kind::kKeyAboveFFFF:
      return "key above FFFF";
    case TableLine::Kind::kComment:
    case TableLine::Kind::kEntry:
      break;
  }
  return "";
}

// True for a comment line that other tools would read as an entry: a first character that
// is neither letter, digit, `#` nor `;`, then 2 to 8 hex digits and `=`, as in `/FF=[end]`,
// `$F0=` or an entry indented by mistake.
bool looks_like_a_foreign_entry(std::string_view text) {
  if (text.empty()) return false;
  const unsigned char first = static_cast<unsigned char>(text.front());
  // `#` and `;` are the usual comment marks, so a line starting with them is meant as one.
  if (std::isalnum(first) || first == '#' || first == ';') return false;
  std::size_t digits = 0;
  while (1 + digits < text.size() && std::isxdigit(static_cast<unsigned char>(text[1 + digits])))
    ++digits;
  return digits >= 2 && digits <= 8 && 1 + digits < text.size() && text[1 + digits] == '=';
}

}  // namespace

void TableDiagnostics::line_read(std::uint32_t number, std::string_view text,
                                 const TableLine& line) {
  switch (line.kind) {
    case TableLine::Kind::kEntry:
      report_entry(number, line);
      return;
    case TableLine::Kind::kComment:
      if (looks_like_a_foreign_entry(text))
        say("\n[TABLE] line %u ignored: starts with '%c'", static_cast<unsigned>(number),
            text.front());
      return;
    case TableLine::Kind::kNoKeyWidth:
    case TableLine::Kind::kKeyNotHex:
    case TableLine::Kind::kKeyAboveFFFF:
      say("\n[TABLE] line %u ignored: %s", static_cast<unsigned>(number), reason_text(line.kind));
      return;
  }
}

void TableDiagnostics::file_is_utf16() {
  say("%s", kUtf16TableLine);
}

void TableDiagnostics::say(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::vfprintf(console_, format, arguments);
  va_end(arguments);
  reported_ = true;
}

void TableDiagnostics::report_entry(std::uint32_t number, const TableLine& line) {
  const unsigned n = static_cast<unsigned>(number);
  if (line.value.size() > TextTable::kMaxText)
    say("\n[TABLE] line %u: text cut to %d bytes", n, TextTable::kMaxText);
  // Every earlier line for the code counts, one that emptied it too: each such pair is a
  // duplicate the author may want to clean up.
  std::uint32_t& last = entry_lines_[line.code];
  if (last != 0)
    say("\n[TABLE] line %u: replaces line %u for code %04X", n, static_cast<unsigned>(last),
        static_cast<unsigned>(line.code));
  last = number;
  if (line.value.empty())
    say("\n[TABLE] line %u: empty text leaves code %04X undefined", n,
        static_cast<unsigned>(line.code));
  else if (!code_occurs(line.code))
    say("\n[TABLE] line %u: code %04X never occurs in this encoding", n,
        static_cast<unsigned>(line.code));
}

void TableDiagnostics::report_shared_texts(const TextTable& table) {
  struct Shared {
    std::uint32_t line;
    int code;
    int lowest;  // the lowest code of the set with that text
  };
  std::vector<Shared> shared;
  std::unordered_map<std::string_view, int> lowest_with;  // in one set, by text
  lowest_with.reserve((1 + kParameterControls) * 0x100);  // the largest set's codes
  // A set is named by its lowest page; its pages are met in rising order, and so are their
  // codes: the first code met with a text is the set's lowest.
  for (int set = 0; set < 0x100; ++set) {
    if (kCodeSetOfPage[set] != set) continue;
    lowest_with.clear();
    for (int page = set; page < 0x100; ++page) {
      if (kCodeSetOfPage[page] != set) continue;
      for (int code = page << 8; code < (page + 1) << 8; ++code) {
        if (!table.defined(code)) continue;
        const auto [at, first] = lowest_with.try_emplace(table.text(code), code);
        if (!first) shared.push_back({entry_lines_[code], code, at->second});
      }
    }
  }
  std::ranges::stable_sort(shared, {}, &Shared::line);
  for (const Shared& s : shared)
    say("\n[TABLE] line %u: code %04X has the text of code %04X (line %u), which the inserter "
        "takes instead",
        static_cast<unsigned>(s.line), static_cast<unsigned>(s.code),
        static_cast<unsigned>(s.lowest), static_cast<unsigned>(entry_lines_[s.lowest]));
}
