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

}  // namespace

ScriptUpdater::ScriptUpdater(std::string_view script, const StringEncoder& encoder, Report& report,
                             ScriptSink& out)
    : script_(script),
      line_end_(own_line_end(script)),
      encoder_(encoder),
      report_(report),
      out_(out),
      matcher_(script, report),
      copies_(script),
      written_(script.data()) {}

bool ScriptUpdater::update(std::span<const std::string_view> lines, std::string_view lead,
                           const WalkedString& image_string) {
  if (!gives_back(encoder_, lines, image_string.bytes, encoding_)) return false;
  // Only empty lines follow the end code in a text that gives the bytes back: the end code's
  // is the last line that is not empty.
  std::size_t text_lines = lines.size();
  while (lines[text_lines - 1].empty()) --text_lines;
  Replacement replacement{lines.front().data() - lead.size(),
                          lines[text_lines - 1].data() + lines[text_lines - 1].size(),
                          {}};
  std::string_view rendering = image_string.rendering;
  while (rendering.ends_with(kLineEnd)) rendering.remove_suffix(kLineEnd.size());
  for (;;) {
    const std::size_t line_end = rendering.find(kLineEnd);
    replacement.text += lead;
    replacement.text += rendering.substr(0, line_end);
    if (line_end == std::string_view::npos) break;
    replacement.text += line_end_;
    rendering.remove_prefix(line_end + kLineEnd.size());
  }
  const auto after = std::ranges::upper_bound(waiting_, replacement.begin, {}, &Replacement::begin);
  waiting_.insert(after, std::move(replacement));
  return true;
}

void ScriptUpdater::receive(const WalkedString& image_string) {
  if (image_string.kind == StringKind::kCommentCopy) {
    receive_comment_copy(image_string);
  } else {
    receive_inserted(image_string);
  }
  write_ready();
}

void ScriptUpdater::receive_inserted(const WalkedString& image_string) {
  const ScriptString* string = matcher_.match(image_string);
  if (string == nullptr) return;
  if (is_as_dumped(image_string.rendering, string->lines)) {
    ++unchanged_;
  } else if (update(string->lines, {}, image_string)) {
    ++updated_;
  } else {
    ++kept_;
  }
}

void ScriptUpdater::receive_comment_copy(const WalkedString& image_string) {
  const ScriptString* copy = copies_.match(image_string);
  if (copy != nullptr && !is_as_dumped(image_string.rendering, copy->lines) &&
      update(copy->lines, kCommentLead, image_string))
    ++comments_updated_;
}

void ScriptUpdater::write_up_to(const char* end) {
  while (!waiting_.empty() && waiting_.front().begin < end) {
    const Replacement& replacement = waiting_.front();
    out_.write_stored({written_, replacement.begin});
    out_.write_stored(replacement.text);
    written_ = replacement.end;
    waiting_.pop_front();
  }
  if (written_ < end) {
    out_.write_stored({written_, end});
    written_ = end;
  }
}

void ScriptUpdater::write_ready() {
  const char* const script_end = script_.data() + script_.size();
  const char* strings_at = matcher_.parted() ? script_end : matcher_.read_up_to();
  const char* copies_at = copies_.parted() ? script_end : copies_.read_up_to();
  // The readers read a line ahead at most: write whole lines only, up to the earlier one.
  write_up_to(std::min(strings_at, copies_at));
}

void ScriptUpdater::finish() {
  matcher_.finish();
  write_up_to(script_.data() + script_.size());
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
