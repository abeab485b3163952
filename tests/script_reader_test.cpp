// The script reader against a plain reading of the same script: split into lines at once,
// then walked line by line. The script is larger than the reader's buffer, holds a string
// larger than that, and reaches the reader in pieces of 1 to 7 bytes, so that every line
// is cut by a refill somewhere.

#include "script/script_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Pieces of 1, 2, ... `most` bytes in turn, or the whole room when `most` is 0.
class PieceSource final : public ScriptSource {
 public:
  PieceSource(std::string_view text, std::size_t most) : text_(text), most_(most) {}
  std::size_t read(char* into, std::size_t room) override {
    std::size_t size = most_ == 0 ? room : 1 + next_++ % most_;
    size = std::min({size, room, text_.size() - at_});
    std::copy_n(text_.data() + at_, size, into);
    at_ += size;
    return size;
  }

 private:
  std::string_view text_;
  std::size_t most_;
  std::size_t at_ = 0;
  std::size_t next_ = 0;
};

// What the reader gives for one string, in values that outlive the next read.
struct Read {
  std::int64_t position_line;
  std::uint64_t linear;
  std::uint64_t offset;
  std::int64_t first_line;
  std::vector<std::string> lines;
  std::vector<std::int64_t> line_numbers;
  ScriptString::Cut cut;
  std::int64_t cut_line;

  bool operator==(const Read&) const = default;
};

void PrintTo(const Read& r, std::ostream* os) {
  *os << "position line " << r.position_line << ", first line " << r.first_line << ", "
      << r.lines.size() << " lines, cut " << static_cast<int>(r.cut) << " at " << r.cut_line;
}

std::vector<Read> read_all(std::string_view script, std::size_t most) {
  PieceSource source(script, most);
  ScriptReader reader(source);
  ScriptString string;
  std::vector<Read> all;
  while (reader.next(string)) {
    all.push_back({string.position_line, string.linear, string.offset, string.first_line,
                   std::vector<std::string>(string.lines.begin(), string.lines.end()),
                   string.line_numbers, string.cut, string.cut_line});
  }
  return all;
}

// The plain reading: lines split at LF, a CR before it left off; then the walk.
std::vector<std::string> split_lines(std::string_view script) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < script.size()) {
    std::size_t end = script.find('\n', at);
    const bool last = end == std::string_view::npos;
    if (last) end = script.size();
    std::string line(script.substr(at, end - at));
    if (!last && line.ends_with('\r')) line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

bool hex_number(std::string_view text, std::uint64_t& value) {
  if (text.size() < 6 || text.size() > 16) return false;
  value = 0;
  for (char c : text) {
    const bool digit = c >= '0' && c <= '9';
    if (!digit && !(c >= 'A' && c <= 'F')) return false;
    value = value * 16 + static_cast<std::uint64_t>(digit ? c - '0' : c - 'A' + 10);
  }
  return true;
}

bool position_line(const std::string& line, std::uint64_t& linear, std::uint64_t& offset) {
  if (!line.starts_with("//[") || !line.ends_with("]")) return false;
  const std::size_t between = line.find(" ~ ");
  return between != std::string::npos && hex_number(line.substr(3, between - 3), linear) &&
         hex_number(line.substr(between + 3, line.size() - between - 4), offset);
}

std::vector<Read> read_plainly(std::string_view script) {
  const std::vector<std::string> lines = split_lines(script);
  const auto count = static_cast<std::int64_t>(lines.size());
  std::vector<Read> all;
  std::int64_t i = 0;  // index of the line looked at; its number is i + 1
  while (i < count) {
    Read r{};
    if (!position_line(lines[i], r.linear, r.offset)) {
      ++i;
      continue;
    }
    r.position_line = i + 1;
    std::int64_t text = -1;
    if (i + 1 < count && lines[i + 1].starts_with("#W16(")) {
      text = i + 2;
    } else if (i + 2 < count && lines[i + 1].starts_with("#WRITEINDEX(") &&
               lines[i + 2] == "#WRITE(PtrTable)") {
      text = i + 3;
    }
    if (text < 0) {
      ++i;
      continue;
    }
    r.cut = ScriptString::Cut::kEndOfFile;
    r.cut_line = count + 1;
    std::int64_t j = text;
    for (; j < count; ++j) {
      if (lines[j].starts_with("#") || lines[j].starts_with("//")) {
        r.cut =
            lines[j].starts_with("#") ? ScriptString::Cut::kCommand : ScriptString::Cut::kComment;
        r.cut_line = j + 1;
        break;
      }
      if (lines[j].empty()) continue;
      r.lines.push_back(lines[j]);
      r.line_numbers.push_back(j + 1);
    }
    r.first_line = r.line_numbers.empty() ? r.cut_line : r.line_numbers.front();
    all.push_back(r);
    i = j;  // the cut line may start the next string
  }
  return all;
}

// A script of every kind of line the reader meets, in a random order: the dump's own forms,
// and an editor's (LF alone, a lost command, notes, empty lines anywhere).
std::string random_script(std::uint32_t seed) {
  std::mt19937 random(seed);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto text_line = [&] {
    std::string line(static_cast<std::size_t>(1 + pick(60)), 'a');
    for (char& c : line) c = static_cast<char>(' ' + 1 + pick(90));
    if (line[0] == '#' || line[0] == '/') line[0] = 'x';
    return line;
  };
  std::string script;
  auto end_line = [&] { script += pick(4) == 0 ? "\n" : "\r\n"; };
  int address = 0x079000;
  while (script.size() < (1 << 16) + (1 << 14)) {
    address += 1 + pick(0x40);
    char position[40];
    std::snprintf(position, sizeof position, "//[%06X ~ %06X]", address, address - 0x40000);
    script += position;
    end_line();
    switch (pick(6)) {
      case 0:
        script += "#W16($1234)";
        end_line();
        break;
      case 1:
        script += "#WRITEINDEX($39002,2)";
        end_line();
        break;  // its second line lost
      case 2:
        break;  // a first string
      default:
        script += "#WRITEINDEX($39002,2)";
        end_line();
        script += "#WRITE(PtrTable)";
        end_line();
    }
    for (int n = pick(3); n > 0; --n) end_line();
    for (int n = 1 + pick(5); n > 0; --n) {
      script += pick(4) == 0 ? "" : text_line();
      end_line();
    }
    if (pick(10) == 0) {  // a note, or a command, inside the text
      script += pick(2) == 0 ? "// note" : "#JMP($1,$2)";
      end_line();
    }
    for (int n = pick(4); n > 0; --n) end_line();
  }
  // One string longer than the buffer's first room, with empty lines between its lines.
  script += "//[3BFFF8 ~ 1DFFF8]\r\n#W16($1DFFF8)\r\n";
  for (int n = 0; n < 2500; ++n) script += text_line() + "\r\n\r\n";
  script += "last line without a line end";
  return script;
}

TEST(ScriptReader, reads_what_a_plain_line_split_reads_in_pieces_of_any_size) {
  for (std::uint32_t seed : {1u, 2u}) {
    const std::string script = random_script(seed);
    ASSERT_GT(script.size(), std::size_t{1} << 17);
    const std::vector<Read> expected = read_plainly(script);
    ASSERT_GT(expected.size(), 300u);
    for (std::size_t most : {0, 3, 7}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", pieces of at most " + std::to_string(most));
      const std::vector<Read> got = read_all(script, most);
      ASSERT_EQ(got.size(), expected.size());
      for (std::size_t k = 0; k < got.size(); ++k) ASSERT_EQ(got[k], expected[k]) << "string " << k;
    }
  }
}

}  // namespace
