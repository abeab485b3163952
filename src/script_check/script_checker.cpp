#include "script_check/script_checker.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

constexpr std::size_t kShownText = 16;  // bytes of a line shown where a problem starts

// True if `lines` are `rendering` as DUMP_TEXT wrote it: its lines, CR LF between them, with
// the line ends after the end code and the empty lines at the text's end left off.
bool as_dumped(std::string_view rendering, std::span<const std::string_view> lines) {
  while (rendering.ends_with("\r\n")) rendering.remove_suffix(2);
  while (!lines.empty() && lines.back().empty()) lines = lines.first(lines.size() - 1);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      if (!rendering.starts_with("\r\n")) return false;
      rendering.remove_prefix(2);
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
    const std::size_t to = t + 1 < tokens.size() ? static_cast<std::size_t>(tokens[t + 1].first_byte)
                                                 : encoding.bytes.size();
    if (to > read.size() ||
        !std::equal(encoding.bytes.begin() + static_cast<std::ptrdiff_t>(from),
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
  for (std::size_t end; (end = rendering.find("\r\n", line_start)) < offset; line_start = end + 2)
    ++place.line;
  place.column = static_cast<int>(offset - line_start);
  return place;
}

}  // namespace

void ScriptChecker::line(const char* format, ...) {
  std::fputc('\n', console_);
  std::va_list arguments;
  va_start(arguments, format);
  std::vfprintf(console_, format, arguments);
  va_end(arguments);
}

void ScriptChecker::place_and_text(const char* tag, TextPlace place, const char* middle) {
  const std::string_view text =
      string_.lines.empty() ? std::string_view{} : string_.lines[static_cast<std::size_t>(place.line)];
  const std::string_view shown = text.substr(std::min(static_cast<std::size_t>(place.column), text.size()), kShownText);
  line("%s line %d, column %d%s\"", tag, string_.first_line + place.line, place.column + 1, middle);
  std::fwrite(shown.data(), 1, shown.size(), console_);
  std::fputc('"', console_);
}

void ScriptChecker::check(const DumpedString& dumped) {
  if (stopped_) return;
  if (!reader_.next(string_)) {
    line("[SCRIPT] the string @ %06X is missing", static_cast<unsigned>(dumped.linear));
    stop();
    return;
  }
  if (string_.linear != static_cast<std::uint64_t>(dumped.linear) ||
      string_.offset != static_cast<std::uint64_t>(dumped.offset)) {
    line("[SCRIPT] line %d: the image has the string @ %06X here", string_.position_line,
         static_cast<unsigned>(dumped.linear));
    stop();
    return;
  }
  ++strings_;
  const unsigned at = static_cast<unsigned>(dumped.linear);
  if (as_dumped(dumped.rendering, string_.lines)) {
    const StringEncoder::Foreseen foreseen = encoder_.foresee(dumped.bytes);
    TextPlace differs;
    if (foreseen.taken == StringEncoder::Taken::kGivenBack) {
      ++as_dumped_;
      return;
    }
    if (foreseen.taken == StringEncoder::Taken::kOther) {
      differs = place_in(dumped.rendering, foreseen.offset);
    } else {
      encoder_.encode(string_.lines, encoding_);
      if (encoding_.outcome == StringEncoding::Outcome::kEncoded &&
          std::ranges::equal(encoding_.bytes, dumped.bytes)) {
        ++as_dumped_;
        return;
      }
      differs = first_difference(encoding_, dumped.bytes);
    }
    ++not_given_back_;
    all_well_ = false;
    char middle[32];
    std::snprintf(middle, sizeof middle, " @ %06X: ", at);
    place_and_text("[ROUND TRIP]", differs, middle);
    return;
  }

  encoder_.encode(string_.lines, encoding_);
  const bool encoded = encoding_.outcome == StringEncoding::Outcome::kEncoded;
  if (encoded) {
    ++edited_;
    const long long before = static_cast<long long>(dumped.bytes.size());
    const long long after = static_cast<long long>(encoding_.bytes.size());
    added_bytes_ += after - before;
    line("[EDITED] line %d @ %06X: %lld -> %lld bytes", string_.position_line, at, before, after);
    return;
  }

  ++cannot_encode_;
  all_well_ = false;
  switch (encoding_.outcome) {
    case StringEncoding::Outcome::kNoCandidate:
      place_and_text("[SCRIPT]", encoding_.stop, ": no code for ");
      break;
    case StringEncoding::Outcome::kTextAfterEnd:
      line("[SCRIPT] line %d: text after the end code", string_.first_line + encoding_.stop.line);
      break;
    default:
      if (string_.cut == ScriptString::Cut::kEndOfFile) {
        line("[SCRIPT] line %d: the file ends inside the string @ %06X, before its end code",
             string_.cut_line, at);
      } else {
        line("[SCRIPT] line %d starts with %s inside the string @ %06X, before its end code",
             string_.cut_line, string_.cut == ScriptString::Cut::kHash ? "#" : "//", at);
      }
  }
}

void ScriptChecker::stop() {
  stopped_ = true;
  all_well_ = false;
}

void ScriptChecker::finish() {
  if (!stopped_ && reader_.next(string_)) {
    line("[SCRIPT] line %d: the image has no further string", string_.position_line);
    stop();
  }
  line("[SUMMARY] %d strings: %d as dumped, %d edited (%+lld bytes), %d not given back, "
       "%d cannot be encoded",
       strings_, as_dumped_, edited_, added_bytes_, not_given_back_, cannot_encode_);
}
