#include "script_check/script_checker.h"

#include <algorithm>

#include "script/script_lines.h"
#include "script_check/character_places.h"
#include "script_check/string_verdict.h"

namespace {

constexpr std::size_t kShownText = 16;  // bytes of a line shown where a problem starts

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

// True if the string was cut where its end code was dropped: past empty lines, often at the
// next string's position line, or with no text line at all. Not when no text line comes
// before a cut at a line that starts with "#" or "//" and the image's own text starts so
// too, as a table can make it: that line is the string's first.
bool lost_end_code(const ScriptString& string, std::string_view rendering) {
  if (string.cut == ScriptString::Cut::kEndOfFile) return false;
  // The reader keeps no empty line: one came before the cut if the last kept one is further up.
  if (!string.lines.empty()) return string.line_numbers.back() < string.cut_line - 1;
  return !rendering.starts_with(kCommandLead) && !rendering.starts_with(kCommentLead);
}

// Where a string whose end code was dropped ends: its last text line that is not empty, else
// its last command line.
std::int64_t last_line(const ScriptString& string) {
  return string.lines.empty() ? string.last_command_line : string.line_numbers.back();
}

}  // namespace

std::string_view ScriptChecker::put_place(const ScriptString& string, TextPlace place) {
  const std::string_view text = string.lines.empty()
                                    ? std::string_view{}
                                    : string.lines[static_cast<std::size_t>(place.line)];
  const auto at = static_cast<std::size_t>(place.column);
  report_.put("line ");
  report_.put_number(string.line_number(place.line));
  report_.put(", column ");
  report_.put_number(character_column(text, at));
  return text_from(text, at, kShownText);
}

void ScriptChecker::receive(const WalkedString& image_string) {
  if (matcher_.parted()) return;  // nothing after that place is checked
  if (image_string.kind == StringKind::kCommentCopy) {
    if (const ScriptString* copy = copies_.match(image_string))
      check_comment_copy(image_string, *copy);
    return;
  }
  const ScriptString* string = matcher_.match(image_string);
  if (string == nullptr) return;
  check_command(image_string, *string);
  space_.take(check(image_string, *string));
}

void ScriptChecker::check_comment_copy(const WalkedString& dumped, const ScriptString& copy) {
  if (is_as_dumped(dumped.rendering, copy) ||
      gives_back(encoder_, copy.lines, dumped.bytes, encoding_))
    return;
  ++other_lines_;
  report_.put("[SCRIPT] line ");
  report_.put_number(copy.first_line);
  report_.put(": the string @ ");
  report_.put_address(dumped.linear);
  report_.put(" is edited in a comment, which the inserter skips");
  report_.end_line();
}

void ScriptChecker::check_command(const WalkedString& dumped, const ScriptString& string) {
  char room[kStringCommandRoom];
  const std::string_view command(room, put_string_command(room, dumped.offset, dumped.entry));
  if (string.command == command) return;
  ++other_lines_;
  report_.put("[SCRIPT] line ");
  report_.put_number(string.position_line + 1);
  report_.put(": the string @ ");
  report_.put_address(dumped.linear);
  report_.put(" needs the command ");
  report_.put(command);
  report_.end_line();
}

long long ScriptChecker::check(const WalkedString& dumped, const ScriptString& string) {
  const auto read_size = static_cast<long long>(dumped.bytes.size());
  if (is_as_dumped(dumped.rendering, string)) {
    const StringEncoder::Foreseen foreseen = encoder_.foresee(dumped.bytes);
    TextPlace differs;
    long long taken = 0;  // stays 0 where no region counts it
    if (foreseen.taken == StringEncoder::Taken::kGivenBack) {
      ++as_dumped_;
      return read_size;
    }
    if (foreseen.taken == StringEncoder::Taken::kOther) {
      differs = place_in(dumped.rendering, foreseen.offset);
      // Its size takes a full encoding, worth its time only where a region counts it.
      if (space_.counting()) {
        encoder_.encode(string.lines, encoding_);
        taken = inserted_size();
      }
    } else {
      // The tokens before it are given back as they are: encode from there.
      encoder_.encode(string.lines, encoding_, place_in(dumped.rendering, foreseen.offset),
                      dumped.bytes.first(foreseen.byte));
      if (encoding_.outcome == StringEncoding::Outcome::kEncoded &&
          std::ranges::equal(encoding_.bytes, dumped.bytes)) {
        ++as_dumped_;
        return read_size;
      }
      differs = first_difference(encoding_, dumped.bytes);
      taken = inserted_size();
    }
    ++not_given_back_;
    report_.put("[ROUND TRIP] ");
    const std::string_view shown = put_place(string, differs);
    report_.put(" @ ");
    report_.put_address(dumped.linear);
    report_.put(": \"");
    report_.put(shown);
    report_.put("\"");
    report_.end_line();
    return taken;
  }

  encoder_.encode(string.lines, encoding_);
  if (encoding_.outcome == StringEncoding::Outcome::kEncoded) {
    ++edited_;
    const long long before = read_size;
    const long long after = inserted_size();
    added_bytes_ += after - before;
    report_.put("[EDITED] line ");
    report_.put_number(string.position_line);
    report_.put(" @ ");
    report_.put_address(dumped.linear);
    report_.put(": ");
    report_.put_number(before);
    report_.put(" -> ");
    report_.put_number(after);
    report_.put(" bytes");
    report_.end_line();
    if (encoding_.bytes.back() != dumped.bytes.back()) {
      ++other_lines_;
      report_.put("[SCRIPT] line ");
      report_.put_number(string.line_number(encoding_.tokens.back().place.line));
      report_.put(": the string @ ");
      report_.put_address(dumped.linear);
      report_.put(" ends with code ");
      report_.put_hex(encoding_.bytes.back(), 2);
      report_.put(" where the image has ");
      report_.put_hex(dumped.bytes.back(), 2);
      report_.end_line();
    }
    return after;
  }

  ++cannot_encode_;
  report_.put("[SCRIPT] ");
  switch (encoding_.outcome) {
    case StringEncoding::Outcome::kNoCandidate: {
      const std::string_view shown = put_place(string, encoding_.stop);
      report_.put(": no code for \"");
      report_.put(shown);
      report_.put("\"");
      break;
    }
    case StringEncoding::Outcome::kTextAfterEnd:
      report_.put("line ");
      report_.put_number(string.line_number(encoding_.stop.line));
      report_.put(": text after the end code");
      break;
    default:
      if (lost_end_code(string, dumped.rendering)) {
        report_.put("line ");
        report_.put_number(last_line(string));
        report_.put(": the string @ ");
        report_.put_address(dumped.linear);
        report_.put(" has no end code");
        break;
      }
      report_.put("line ");
      report_.put_number(string.cut_line);
      if (string.cut == ScriptString::Cut::kEndOfFile) {
        report_.put(": the file ends inside the string @ ");
      } else {
        report_.put(" starts with ");
        report_.put(string.cut == ScriptString::Cut::kCommand ? kCommandLead : kCommentLead);
        report_.put(" inside the string @ ");
      }
      report_.put_address(dumped.linear);
      report_.put(", before its end code");
  }
  report_.end_line();
  return FreeSpace::kProblem;
}

long long ScriptChecker::inserted_size() const {
  return encoding_.outcome == StringEncoding::Outcome::kEncoded
             ? static_cast<long long>(encoding_.bytes.size())
             : FreeSpace::kProblem;
}

void ScriptChecker::finish() {
  matcher_.finish();
  report_.put("[SUMMARY] ");
  report_.put_number(as_dumped_ + edited_ + not_given_back_ + cannot_encode_);
  report_.put(" strings: ");
  report_.put_number(as_dumped_);
  report_.put(" as dumped, ");
  report_.put_number(edited_);
  report_.put(" edited (");
  if (added_bytes_ >= 0) report_.put("+");
  report_.put_number(added_bytes_);
  report_.put(" bytes), ");
  report_.put_number(not_given_back_);
  report_.put(" not given back, ");
  report_.put_number(cannot_encode_);
  report_.put(" cannot be encoded");
  report_.end_line();
}
