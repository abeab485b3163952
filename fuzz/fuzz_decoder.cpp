// The string decoder on an arbitrary window with an arbitrary small table. Input layout:
//   byte 0       bit 0: the window is the data repeated (else 0xFF around the data);
//                bits 1-2: where decoding starts: 0 at 0, 1 so the data ends with the
//                window (on its last byte without data), 2 at the 16-bit number that
//                follows, 3 at 0xFFFF
//   2 bytes      the start, when bits 1-2 say so
//   1 byte       number of table entries (0-15), then for each: a 16-bit code, a length
//                (0-47) and that many bytes of text (CR, LF and NUL dropped, as the table
//                file cannot hold them)
//   the rest     the data, laid into the window from the start on
// The decoder must stop past the start and at most at the window's end, write CR LF line
// ends only, close with the end code's three line breaks, and write exactly what a plain
// reading of the encoding gives. Read back by the encoder, the text of a string decoded with
// an empty table must give its bytes back; and CHECK_SCRIPT's verdict on the unedited string
// (given back or not) must be a full encode's.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "decode/string_bytes.h"
#include "decode/string_decoder.h"
#include "decode/string_encoder.h"
#include "decode/token_renderings.h"
#include "driver/zeroed_store.h"
#include "fuzz_support.h"
#include "rom/rom_window.h"
#include "script/script_sink.h"
#include "script_check/script_checker.h"
#include "support/expected_text.h"
#include "table/text_table.h"

namespace {

using fuzz::require;

// Text codes that the decoder looks up: single bytes, the run pages, controls with a
// parameter; and now and then any code at all.
int table_code(fuzz::ByteReader& in) {
  const unsigned raw = in.u16();
  const unsigned low = raw & 0xFF;
  switch (raw >> 8 & 7) {
    case 0:
    case 1:
      return static_cast<int>(low);
    case 2:
      return static_cast<int>(0x100 + low);
    case 3:
      return static_cast<int>(0x200 + low);
    case 4:
      return static_cast<int>(0xBF00 + low);
    case 5:
    case 6:
      return static_cast<int>((0xF0 + (raw >> 11 & 3)) << 8 | low);
    default:
      return static_cast<int>(raw);
  }
}

// Returns true if the table holds no text.
bool fill_table(fuzz::ByteReader& in, TextTable& table) {
  std::vector<int> codes;
  for (unsigned entries = in.u8() % 16; entries > 0; --entries) {
    const int code = table_code(in);
    std::string text;
    for (char c : in.bytes(in.u8() % 48))
      if (c != '\r' && c != '\n' && c != '\0') text += c;
    table.set(code, text);
    codes.push_back(code);
  }
  return std::none_of(codes.begin(), codes.end(), [&](int code) { return table.defined(code); });
}

// The script text's lines, without the line ends after the end code, into `lines`.
FUZZ_CHECKER void split_lines(std::string_view text, std::vector<std::string_view>& lines) {
  while (text.ends_with("\r\n")) text.remove_suffix(2);
  lines.clear();
  for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos;
       text.remove_prefix(end + 2))
    lines.push_back(text.substr(0, end));
  lines.push_back(text);
}

// The script, as a source in memory.
class ScriptInMemory final : public ScriptSource {
 public:
  explicit ScriptInMemory(std::string_view text) : text_(text) {}
  std::size_t read(char* into, std::size_t room) override {
    const std::size_t size = std::min(room, text_.size());
    std::copy_n(text_.data(), size, into);
    text_.remove_prefix(size);
    return size;
  }

 private:
  std::string_view text_;
};

// CHECK_SCRIPT's verdict on the string left as it was dumped: as dumped and given back, or not
// given back. It reaches it by foresight and by encoding the rest from where that stopped; a
// full encode of the text must agree.
FUZZ_CHECKER void check_verdict(const StringEncoder& encoder,
                                const std::vector<std::uint8_t>& bytes,
                                const std::vector<std::string_view>& lines,
                                std::string_view written, bool given_back) {
  // A line that starts as a command or a comment ends the text for the inserter: not as dumped.
  for (std::string_view line : lines)
    if (line.starts_with('#') || line.starts_with("//")) return;
  const std::string script = "//[000000 ~ 000000]\r\n#W16($0)\r\n" + std::string(written);
  ScriptInMemory source(script);
  ScriptInMemory copies(script);
  fuzz::MemoryStream console;
  ScriptChecker checker(source, copies, encoder, console.get());
  checker.receive({StringKind::kInserted, 0, 0, bytes, written});
  checker.finish();
  const std::string report = console.take();
  require(
      report.find("[EDITED]") == std::string::npos && report.find("[SCRIPT]") == std::string::npos,
      "the unedited string is not taken as dumped");
  require(checker.all_well() == given_back,
          "the check's verdict on the unedited string differs from a full encode's");
}

// The encoder reads the text back: with an empty table every string gives back its own bytes,
// and whatever the renderings vouch for, the encoder does.
FUZZ_CHECKER void check_encoding(const StringEncoder& encoder, bool empty_table,
                                 const RomWindow& window, int start, std::string_view written) {
  // Kept from one input to the next: a string may take the whole window, and fresh room for
  // it each time would cost more than the check.
  static std::vector<std::uint8_t> bytes;
  static std::vector<std::string_view> lines;
  static StringEncoding encoding;
  require(read_string_bytes(window, start, bytes) == window.cursor,
          "the string's bytes end elsewhere than the decoder");
  split_lines(written, lines);
  encoder.encode(lines, encoding);
  const bool given_back =
      encoding.outcome == StringEncoding::Outcome::kEncoded && encoding.bytes == bytes;
  require(given_back || !empty_table, "with an empty table, the text does not encode back");

  check_verdict(encoder, bytes, lines, written, given_back);

  const StringEncoder::Foreseen foreseen = encoder.foresee(bytes);
  if (foreseen.taken == StringEncoder::Taken::kGivenBack)
    require(given_back, "foreseen as given back, but the text encodes otherwise");
  if (foreseen.taken == StringEncoder::Taken::kOther) {
    require(!given_back, "foreseen as not given back, but the text encodes back");
    // The tokens before it are given back, and it gives another first byte.
    const auto k = static_cast<std::ptrdiff_t>(foreseen.byte);
    require(std::ssize(encoding.bytes) > k &&
                std::equal(bytes.begin(), bytes.begin() + k, encoding.bytes.begin()) &&
                encoding.bytes[foreseen.byte] != bytes[foreseen.byte],
            "the token foreseen to give other bytes does not");
  }
}

int start_of(unsigned mode, unsigned wanted, std::size_t data_size) {
  switch (mode >> 1 & 3) {
    case 0:
      return 0;
    case 1:
      return static_cast<int>(RomWindow::kSize -
                              std::clamp<std::size_t>(data_size, 1, RomWindow::kSize));
    case 2:
      return static_cast<int>(wanted);
    default:
      return RomWindow::kSize - 1;
  }
}

void fill_window(RomWindow& window, std::string_view data, int start, bool repeated) {
  window.buffer.fill(0xFF);
  if (data.empty()) return;
  if (repeated) {
    for (int i = 0; i < RomWindow::kSize; ++i)
      window.buffer[(start + i) % RomWindow::kSize] =
          static_cast<std::uint8_t>(data[static_cast<std::size_t>(i) % data.size()]);
  } else {
    const std::size_t room = static_cast<std::size_t>(RomWindow::kSize - start);
    for (std::size_t i = 0; i < data.size() && i < room; ++i)
      window.buffer[start + i] = static_cast<std::uint8_t>(data[i]);
  }
}

// The encoding read the plain way, straight from its byte classes. With `older` not 0, as
// the table was before it had the codes that `older` picks: about half of them.
class Reference {
 public:
  Reference(const RomWindow& window, const TextTable& table, int cursor, unsigned older = 0)
      : window_(window), table_(table), cursor_(cursor), older_(older) {}

  std::string decode() {
    for (;;) {
      const int b = next();
      if (b <= 0xBE) {
        character(b, b);
      } else if (b == 0xBF || (b >= 0xF0 && b <= 0xF3)) {
        const int p = next();
        if (defined(b << 8 | p)) {
          out_ += table_.text(b << 8 | p);
        } else {
          single(b);
          bracketed("<$", p);
        }
      } else if (b <= 0xC7) {
        character(b, b);
        for (int n = b - 0xBF; n > 0; --n) {
          const int p = next();
          character(0x100 + p, p);
        }
      } else if (b <= 0xCF) {
        character(b, b);
        for (int n = b - 0xC7; n > 0; --n) {
          const int p = next();
          character(0x200 + p, p);
        }
      } else {
        single(b);
        if (b == 0xD0 || b == 0xFF) return out_ + "\r\n\r\n\r\n";
        if (b == 0xFE) out_ += "\r\n";
      }
    }
  }
  int cursor() const { return cursor_; }

 private:
  int next() { return cursor_ < RomWindow::kSize ? window_.buffer[cursor_++] : 0xFF; }
  // Every bracketed value here is one byte: two digits.
  void bracketed(const char* opening, int value) {
    out_ += opening;
    out_ += "0123456789ABCDEF"[value >> 4];
    out_ += "0123456789ABCDEF"[value & 0xF];
    out_ += '>';
  }
  bool defined(int code) const {
    return table_.defined(code) && (older_ == 0 || ((code + older_) * 2654435761u >> 20 & 1) == 0);
  }
  void character(int code, int raw) {
    if (defined(code)) {
      out_ += table_.text(code);
    } else {
      bracketed("<$", raw);
    }
  }
  void single(int code) {
    if (defined(code)) {
      out_ += table_.text(code);
    } else {
      bracketed("<CODE ", code);
    }
  }

  const RomWindow& window_;
  const TextTable& table_;
  int cursor_;
  unsigned older_;
  std::string out_;
};

// A string dumped with an older table that lacked some codes, unedited: whenever the encoder
// is sure that its text gives the bytes back, encode() must give them back. With an empty
// table it must be sure.
FUZZ_CHECKER void check_older_text(const TextTable& table, const StringEncoder& encoder,
                                   bool empty_table, const RomWindow& window, int start,
                                   unsigned older) {
  static std::vector<std::uint8_t> bytes;
  static std::vector<std::string_view> lines;
  static StringEncoding encoding;
  read_string_bytes(window, start, bytes);
  const std::string text = Reference(window, table, start, older | 1).decode();
  split_lines(text, lines);
  if (!encoder.surely_gives_back(lines, bytes)) {
    require(!empty_table, "with an empty table, the encoder is not sure of a fallback text");
    return;
  }
  encoder.encode(lines, encoding);
  require(encoding.outcome == StringEncoding::Outcome::kEncoded && encoding.bytes == bytes,
          "sure that an older text gives the bytes back, but it encodes otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ZeroedStore<TextTable> table;
  fuzz::clear(*table);
  static TokenRenderings renderings;  // made afresh from each table
  static RomWindow window;            // filled afresh from each input

  fuzz::ByteReader in(data, size);
  const unsigned mode = in.u8();
  const unsigned start_field = in.u16();
  const bool empty_table = fill_table(in, *table);
  renderings.build(*table);
  const std::string_view bytes = in.rest();
  const int start = start_of(mode, start_field, bytes.size());
  fill_window(window, bytes, start, (mode & 1) != 0);
  window.cursor = start;

  Reference reference(window, *table, start);
  const std::string expected = reference.decode();

  fuzz::MemoryStream stream;
  {
    ScriptSink script(stream.get());
    decode_string(window, renderings, script);
    require(script.flush(), "the script could not be written");
  }
  const std::string written = stream.take();

  require(window.cursor > start, "the cursor did not move past the start");
  require(window.cursor <= RomWindow::kSize, "the cursor ran past the window");
  require(line_ends_are_cr_lf(written), "a line end other than CR LF");
  require(written.size() >= 6 && written.ends_with("\r\n\r\n\r\n"),
          "the string does not close with three line breaks");
  require(written == expected, "the text differs from the plain reading");
  require(window.cursor == reference.cursor(), "the string ends elsewhere than expected");
  const StringEncoder encoder(*table, renderings);
  check_encoding(encoder, empty_table, window, start, written);
  check_older_text(*table, encoder, empty_table, window, start, start_field);
  return 0;
}
