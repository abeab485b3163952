#include "table/table_parser.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned char kEndOfFile = 0x1A;  // Ctrl-Z

bool is_ascii_alnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ends_plain_run(char c) {
  return c == '\r' || c == '\n' || c == static_cast<char>(kEndOfFile);
}

TableLine dropped(TableLine::Kind why) {
  TableLine line;
  line.kind = why;
  return line;
}

}  // namespace

void TableParser::feed(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    if (bom_ != Bom::kDone || pending_cr_ || ended_) {
      take_raw(static_cast<unsigned char>(bytes[at++]));
      continue;
    }
    // Most bytes are neither a line end nor the end of the file: a run of them joins the
    // piece in one copy, as far as the piece has room.
    const std::size_t limit = std::min(bytes.size(), at + (kMaxPiece - piece_len_));
    std::size_t run_end = at;
    while (run_end < limit && !ends_plain_run(bytes[run_end])) ++run_end;
    std::memcpy(piece_.data() + piece_len_, bytes.data() + at, run_end - at);
    piece_len_ += run_end - at;
    at = run_end;
    if (piece_len_ == kMaxPiece) {
      end_piece();
    } else if (at < bytes.size()) {
      take_raw(static_cast<unsigned char>(bytes[at++]));
    }
  }
}

void TableParser::finish() {
  // A byte-order mark cut short is text after all.
  if (bom_ == Bom::kSawEF || bom_ == Bom::kSawBB) {
    const Bom seen = bom_;
    bom_ = Bom::kDone;
    take_raw(0xEF);
    if (seen == Bom::kSawBB) take_raw(0xBB);
  }
  if (pending_cr_) {
    pending_cr_ = false;
    take_char('\r');
  }
  if (piece_len_ > 0) end_piece();
  ended_ = true;
}

void TableParser::take_raw(unsigned char c) {
  if (ended_) return;
  // The UTF-8 byte-order mark EF BB BF is skipped at the start of the file only.
  switch (bom_) {
    case Bom::kStart:
      if (c == 0xEF) {
        bom_ = Bom::kSawEF;
        return;
      }
      bom_ = Bom::kDone;
      break;
    case Bom::kSawEF:
      if (c == 0xBB) {
        bom_ = Bom::kSawBB;
        return;
      }
      bom_ = Bom::kDone;
      take_raw(0xEF);
      break;
    case Bom::kSawBB:
      bom_ = Bom::kDone;
      if (c == 0xBF) return;
      take_raw(0xEF);
      take_raw(0xBB);
      break;
    case Bom::kDone:
      break;
  }

  if (c == kEndOfFile) {
    finish();
    return;
  }
  if (pending_cr_) {
    pending_cr_ = false;
    if (c == '\n') {
      take_char('\n');
      return;
    }
    take_char('\r');
  }
  if (c == '\r') {
    pending_cr_ = true;
    return;
  }
  take_char(static_cast<char>(c));
}

void TableParser::take_char(char c) {
  piece_[piece_len_++] = c;
  if (c == '\n' || piece_len_ == kMaxPiece) end_piece();
}

void TableParser::end_piece() {
  const std::string_view piece(piece_.data(), piece_len_);
  piece_len_ = 0;
  // The line's text ends at a NUL byte, as a C string would.
  const std::string_view text = piece.substr(0, piece.find('\0'));
  const TableLine line = judge_table_line(text);
  if (line.kind == TableLine::Kind::kEntry) table_.set(line.code, line.value);
  if (observer_ != nullptr) {
    observer_->line_read(line_number_, text, line);
    if (piece.back() == '\n') ++line_number_;
  }
}

bool starts_as_utf16(std::string_view start) {
  return start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF");
}

TableLine judge_table_line(std::string_view text) {
  using Kind = TableLine::Kind;
  if (text.empty() || !is_ascii_alnum(text.front())) return {};
  std::size_t width = 0;
  for (std::size_t at : {2, 4, 6, 8}) {
    if (at < text.size() && text[at] == '=') {
      width = at;
      break;
    }
  }
  if (width == 0) return dropped(Kind::kNoKeyWidth);

  std::uint32_t key = 0;
  for (std::size_t i = 0; i < width; ++i) {
    const int digit = hex_digit(text[i]);
    if (digit < 0) return dropped(Kind::kKeyNotHex);
    key = key * 16 + static_cast<std::uint32_t>(digit);
  }
  if (key >= TextTable::kCodes) return dropped(Kind::kKeyAboveFFFF);

  std::string_view value = text.substr(width + 1);
  // The value ends at the first CR or LF, found in one pass (find_first_of would search the
  // pair once for each byte).
  const auto line_end =
      std::find_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; });
  value = value.substr(0, static_cast<std::size_t>(line_end - value.begin()));
  return {.kind = Kind::kEntry, .code = static_cast<int>(key), .value = value};
}
