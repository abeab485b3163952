#include "script_update/script_updater.h"

#include <algorithm>

#include "script/script_lines.h"
#include "script/script_sink.h"
#include "script_check/string_verdict.h"

namespace {

// The line end of the script's first line, which its new lines take.
std::string_view own_line_end(std::string_view script) {
  const std::size_t line_feed = script.find('\n');
  if (line_feed == std::string_view::npos) return kLineEnd;
  return line_feed > 0 && script[line_feed - 1] == '\r' ? kLineEnd : "\n";
}

// The start of the line after the one that starts at `at`, or the script's end.
std::size_t next_line(std::string_view script, std::size_t at) {
  const std::size_t line_feed = script.find('\n', at);
  return line_feed == std::string_view::npos ? script.size() : line_feed + 1;
}

// Where the text of the line that starts at `at` ends: before its LF, or its CR LF, as the
// script reader reads it.
std::size_t text_end(std::string_view script, std::size_t at) {
  const std::size_t line_feed = script.find('\n', at);
  if (line_feed == std::string_view::npos) return script.size();
  return line_feed > at && script[line_feed - 1] == '\r' ? line_feed - 1 : line_feed;
}

}  // namespace

ScriptUpdater::ScriptUpdater(std::string_view script, const StringEncoder& encoder, Report& report)
    : script_(script),
      encoder_(encoder),
      report_(report),
      matcher_(script, report),
      copies_(script) {}

bool ScriptUpdater::update(const ScriptString& string, const WalkedString& image_string,
                           std::string_view comment_lead) {
  if (!gives_back(encoder_, string.lines, image_string.bytes, encoding_)) return false;
  // Only empty lines follow the end code in a text that gives the bytes back: the end code's
  // is the last line that is not empty.
  std::size_t text_lines = string.lines.size();
  while (string.lines[text_lines - 1].empty()) --text_lines;
  Replacement replacement{
      string.first_line, string.first_line + static_cast<int>(text_lines) - 1, {}};
  std::string_view rendering = image_string.rendering;
  while (rendering.ends_with(kLineEnd)) rendering.remove_suffix(kLineEnd.size());
  for (;;) {
    const std::size_t line_end = rendering.find(kLineEnd);
    replacement.text += comment_lead;
    replacement.text += rendering.substr(0, line_end);
    if (line_end == std::string_view::npos) break;
    replacement.text += kLineEnd;
    rendering.remove_prefix(line_end + kLineEnd.size());
  }
  replacements_.push_back(std::move(replacement));
  return true;
}

void ScriptUpdater::receive(const WalkedString& image_string) {
  if (image_string.kind == StringKind::kCommentCopy) return receive_comment_copy(image_string);
  const ScriptString* string = matcher_.match(image_string);
  if (string == nullptr) return;
  if (is_as_dumped(image_string.rendering, string->lines)) {
    ++unchanged_;
  } else if (update(*string, image_string, {})) {
    ++updated_;
  } else {
    ++kept_;
  }
}

void ScriptUpdater::receive_comment_copy(const WalkedString& image_string) {
  if (copies_parted_) return;
  if (!copies_.next_comment_copy(copy_) ||
      copy_.linear != static_cast<std::uint64_t>(image_string.linear) ||
      copy_.offset != static_cast<std::uint64_t>(image_string.offset)) {
    copies_parted_ = true;
    return;
  }
  if (!is_as_dumped(image_string.rendering, copy_.lines) &&
      update(copy_, image_string, kCommentLead))
    ++comments_updated_;
}

void ScriptUpdater::finish() {
  matcher_.finish();
  report_.put("[SUMMARY] ");
  report_.put_number(updated_ + unchanged_ + kept_);
  report_.put(" strings: ");
  report_.put_number(updated_);
  report_.put(" updated, ");
  report_.put_number(unchanged_);
  report_.put(" unchanged, ");
  report_.put_number(kept_);
  report_.put(" kept; ");
  report_.put_number(comments_updated_);
  report_.put(" comments updated");
  report_.end_line();
}

std::string ScriptUpdater::updated_script() const {
  std::vector<const Replacement*> in_order;
  for (const Replacement& replacement : replacements_) in_order.push_back(&replacement);
  std::ranges::sort(in_order, {}, &Replacement::first_line);

  const std::string_view line_end = own_line_end(script_);
  std::string updated;
  updated.reserve(script_.size());
  std::size_t copied = 0;  // the script's bytes up to here are in `updated`
  std::size_t at = 0;      // the start of line number `line`
  int line = 1;
  for (const Replacement* replacement : in_order) {
    for (; line < replacement->first_line; ++line) at = next_line(script_, at);
    updated.append(script_.substr(copied, at - copied));
    for (; line < replacement->last_line; ++line) at = next_line(script_, at);
    std::string_view text = replacement->text;
    for (std::size_t cut; (cut = text.find(kLineEnd)) != std::string_view::npos;
         text.remove_prefix(cut + kLineEnd.size())) {
      updated.append(text.substr(0, cut));
      updated.append(line_end);
    }
    updated.append(text);
    copied = text_end(script_, at);  // the replaced last line's own line end stays
  }
  updated.append(script_.substr(copied));
  return updated;
}
