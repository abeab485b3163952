#include "script_check/script_checker.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "script/script_lines.h"

namespace {

constexpr std::size_t kShownText = 16;  // bytes of a line shown where a problem starts

// True if the text of `string` is `rendering` as DUMP_TEXT wrote it: its lines, CR LF between
// them, with the line ends after the end code and the empty lines at the text's end left off.
// An empty line within the text is an edit.
bool as_dumped(std::string_view rendering, const ScriptString& string) {
  const std::span<const std::string_view> lines = string.lines;
  if (!lines.empty() &&
      string.line_numbers.back() - string.first_line != static_cast<std::int64_t>(lines.size()) - 1)
    return false;
  while (rendering.ends_with(kLineEnd)) rendering.remove_suffix(kLineEnd.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      if (!rendering.starts_with(kLineEnd)) return false;
      rendering.remove_prefix(kLineEnd.size());
    }
    if (!rendering.starts_with(lines[i])) return false;
    rendering.remove_prefix(lines[i].size());
  }
  return rendering.empty();
}

// Where the encoding of an as-dumped string first parts from the bytes read: the first token
// that gives other bytes than the decoder read there; else where no candidate matched; else
// the last token.
TextPlace first_difference(const StringEncoding& encoding, std::span<const std::uint8_t> read) {
  const auto& tokens = encoding.tokens;
  for (std::size_t t = 0; t < tokens.size(); ++t) {
    const std::size_t from = static_cast<std::size_t>(tokens[t].first_byte);
    const std::size_t to = t + 1 < tokens.size()
                               ? static_cast<std::size_t>(tokens[t + 1].first_byte)
                               : encoding.bytes.size();
    if (to > read.size() || !std::equal(encoding.bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                        encoding.bytes.begin() + static_cast<std::ptrdiff_t>(to),
                                        read.begin() + static_cast<std::ptrdiff_t>(from)))
      return tokens[t].place;
  }
  if (encoding.outcome == StringEncoding::Outcome::kNoCandidate || tokens.empty())
    return encoding.stop;
  return tokens.back().place;
}

// The place in the text of byte `offset` of `rendering`, whose lines the text's are.
TextPlace place_in(std::string_view rendering, std::size_t offset) {
  TextPlace place;
  std::size_t line_start = 0;
  for (std::size_t end; (end = rendering.find(kLineEnd, line_start)) < offset;
       line_start = end + kLineEnd.size())
    ++place.line;
  place.column = static_cast<int>(offset - line_start);
  return place;
}

}  // namespace

std::int64_t ScriptChecker::line_number(int index) const {
  return string_.lines.empty() ? string_.first_line
                               : string_.line_numbers[static_cast<std::size_t>(index)];
}

void ScriptChecker::put_number(long long value) {
  char digits[24];
  const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
  line_.append(digits, result.ptr);
}

void ScriptChecker::put_address(int linear) {
  char digits[ScriptSink::kHexRoom];
  line_.append(digits,
               ScriptSink::put_hex(digits, static_cast<std::uint32_t>(linear), kPositionDigits));
}

void ScriptChecker::write_line() {
  std::fwrite(line_.data(), 1, line_.size(), console_);
  reported_ = true;
  line_.assign(1, '\n');
}

std::string_view ScriptChecker::put_place(TextPlace place) {
  const std::string_view text = string_.lines.empty()
                                    ? std::string_view{}
                                    : string_.lines[static_cast<std::size_t>(place.line)];
  put("line ");
  put_number(line_number(place.line));
  put(", column ");
  put_number(place.column + 1);
  return text.substr(std::min(static_cast<std::size_t>(place.column), text.size()), kShownText);
}

void ScriptChecker::check(const DumpedString& dumped) {
  if (stopped_) return;
  if (!reader_.next(string_)) {
    put("[SCRIPT] the string @ ");
    put_address(dumped.linear);
    put(" is missing");
    write_line();
    stopped_ = true;
    return;
  }
  if (string_.linear != static_cast<std::uint64_t>(dumped.linear) ||
      string_.offset != static_cast<std::uint64_t>(dumped.offset)) {
    put("[SCRIPT] line ");
    put_number(string_.position_line);
    put(": the image has the string @ ");
    put_address(dumped.linear);
    put(" here");
    write_line();
    stopped_ = true;
    return;
  }
  if (as_dumped(dumped.rendering, string_)) {
    const StringEncoder::Foreseen foreseen = encoder_.foresee(dumped.bytes);
    TextPlace differs;
    if (foreseen.taken == StringEncoder::Taken::kGivenBack) {
      ++as_dumped_;
      return;
    }
    if (foreseen.taken == StringEncoder::Taken::kOther) {
      differs = place_in(dumped.rendering, foreseen.offset);
    } else {
      // The tokens before it are given back as they are: encode from there.
      encoder_.encode(string_.lines, encoding_, place_in(dumped.rendering, foreseen.offset),
                      dumped.bytes.first(foreseen.byte));
      if (encoding_.outcome == StringEncoding::Outcome::kEncoded &&
          std::ranges::equal(encoding_.bytes, dumped.bytes)) {
        ++as_dumped_;
        return;
      }
      differs = first_difference(encoding_, dumped.bytes);
    }
    ++not_given_back_;
    put("[ROUND TRIP] ");
    const std::string_view shown = put_place(differs);
    put(" @ ");
    put_address(dumped.linear);
    put(": \"");
    put(shown);
    put("\"");
    write_line();
    return;
  }

  encoder_.encode(string_.lines, encoding_);
  if (encoding_.outcome == StringEncoding::Outcome::kEncoded) {
    ++edited_;
    const auto before = static_cast<long long>(dumped.bytes.size());
    const auto after = static_cast<long long>(encoding_.bytes.size());
    added_bytes_ += after - before;
    put("[EDITED] line ");
    put_number(string_.position_line);
    put(" @ ");
    put_address(dumped.linear);
    put(": ");
    put_number(before);
    put(" -> ");
    put_number(after);
    put(" bytes");
    write_line();
    return;
  }

  ++cannot_encode_;
  put("[SCRIPT] ");
  switch (encoding_.outcome) {
    case StringEncoding::Outcome::kNoCandidate: {
      const std::string_view shown = put_place(encoding_.stop);
      put(": no code for \"");
      put(shown);
      put("\"");
      break;
    }
    case StringEncoding::Outcome::kTextAfterEnd:
      put("line ");
      put_number(line_number(encoding_.stop.line));
      put(": text after the end code");
      break;
    default:
      put("line ");
      put_number(string_.cut_line);
      if (string_.cut == ScriptString::Cut::kEndOfFile) {
        put(": the file ends inside the string @ ");
      } else {
        put(" starts with ");
        put(string_.cut == ScriptString::Cut::kCommand ? kCommandLead : kCommentLead);
        put(" inside the string @ ");
      }
      put_address(dumped.linear);
      put(", before its end code");
  }
  write_line();
}

void ScriptChecker::finish() {
  if (!stopped_ && reader_.next(string_)) {
    put("[SCRIPT] line ");
    put_number(string_.position_line);
    put(": the image has no further string");
    write_line();
    stopped_ = true;
  }
  put("[SUMMARY] ");
  put_number(as_dumped_ + edited_ + not_given_back_ + cannot_encode_);
  put(" strings: ");
  put_number(as_dumped_);
  put(" as dumped, ");
  put_number(edited_);
  put(" edited (");
  if (added_bytes_ >= 0) put("+");
  put_number(added_bytes_);
  put(" bytes), ");
  put_number(not_given_back_);
  put(" not given back, ");
  put_number(cannot_encode_);
  put(" cannot be encoded");
  write_line();
}
