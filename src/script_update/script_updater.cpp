#include "script_update/script_updater.h"

#include <algorithm>

#include "script/script_lines.h"
#include "script/script_sink.h"
#include "script_check/string_verdict.h"

namespace {

// Appends the lines of `text` (CR LF between them), each after `lead`, with `line_end`
// between them.
void append_lines(std::string& out, std::string_view text, std::string_view lead,
                  std::string_view line_end) {
  for (;;) {
    const std::size_t end = text.find(kLineEnd);
    out += lead;
    out += text.substr(0, end);
    if (end == std::string_view::npos) return;
    out += line_end;
    text.remove_prefix(end + kLineEnd.size());
  }
}

// The line end of the script's first line, which its new lines take.
std::string_view own_line_end(std::string_view script) {
  const std::size_t line_feed = script.find('\n');
  if (line_feed == std::string_view::npos) return kLineEnd;
  return line_feed > 0 && script[line_feed - 1] == '\r' ? kLineEnd : "\n";
}

}  // namespace

ScriptUpdater::ScriptUpdater(std::string_view script, std::optional<std::string_view> original,
                             std::string_view today, const StringEncoder& encoder, Report& report,
                             ScriptSink& out)
    : script_(script),
      line_end_(own_line_end(script)),
      encoder_(encoder),
      report_(report),
      out_(out),
      matcher_(script, report),
      copies_(script),
      written_(script.data()) {
  if (!original) return;
  sections_.emplace(script, *original, today);
}

const PairedSections::Section* ScriptUpdater::tool_own(std::int64_t position_line) {
  if (!sections_) return nullptr;
  const PairedSections::Section* section = sections_->at_line(position_line);
  return section != nullptr && section->tool_own ? section : nullptr;
}

bool ScriptUpdater::update(const ScriptString& string, std::string_view lead,
                           const WalkedString& image_string) {
  const std::span<const std::string_view> lines = string.lines;
  if (!gives_back(encoder_, lines, image_string.bytes, encoding_)) return false;
  // Only empty lines follow the end code in a text that gives the bytes back: the end code's
  // is the last line that is not empty.
  std::size_t text_lines = lines.size();
  while (lines[text_lines - 1].empty()) --text_lines;
  Replacement replacement{lines.front().data() - lead.size(),
                          lines[text_lines - 1].data() + lines[text_lines - 1].size(),
                          {},
                          string.position_line,
                          !lead.empty()};
  std::string_view rendering = image_string.rendering;
  while (rendering.ends_with(kLineEnd)) rendering.remove_suffix(kLineEnd.size());
  append_lines(replacement.text, rendering, lead, line_end_);
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
  if (const PairedSections::Section* section = tool_own(string->position_line)) {
    ++(section->as_today ? unchanged_ : updated_);  // the section becomes today's as a whole
    return;
  }
  if (is_as_dumped(image_string.rendering, *string)) {
    ++unchanged_;
  } else if (update(*string, {}, image_string)) {
    ++updated_;
  } else {
    ++kept_;
  }
}

void ScriptUpdater::receive_comment_copy(const WalkedString& image_string) {
  const ScriptString* copy = copies_.match(image_string);
  if (copy == nullptr) return;
  if (tool_own(copy->position_line) != nullptr) return;  // as a whole
  // Counted once written.
  if (!is_as_dumped(image_string.rendering, *copy)) update(*copy, kCommentLead, image_string);
}

const PairedSections::Section* ScriptUpdater::section_to_replace(const char* end) {
  if (!sections_) return nullptr;
  // Only what the walk reached before the script and the image parted.
  for (const PairedSections::Section* section;
       (section = sections_->front()) != nullptr && section->begin < end &&
       section->position_line < matcher_.parted_at();
       sections_->pop_front()) {
    if (section->tool_own && !section->as_today) return section;
  }
  return nullptr;
}

void ScriptUpdater::write_replacement(const char* begin, const char* end, std::string_view text) {
  out_.write_stored({written_, begin});
  out_.write_stored(text);
  written_ = end;
  rewritten_ = true;
}

void ScriptUpdater::write_up_to(const char* end) {
  for (;;) {
    const PairedSections::Section* section = section_to_replace(end);
    const Replacement* replacement =
        !waiting_.empty() && waiting_.front().begin < end ? &waiting_.front() : nullptr;
    if (section != nullptr && (replacement == nullptr || section->begin <= replacement->begin)) {
      std::string today;
      append_lines(today, section->today, {}, line_end_);
      write_replacement(section->begin, section->end, today);
      if (section->holds_comment_copy) ++comments_updated_;
      sections_->pop_front();
      // What the section held was replaced with it.
      while (!waiting_.empty() && waiting_.front().begin < written_) waiting_.pop_front();
    } else if (replacement != nullptr) {
      // Nothing after the place where the script and the image parted is updated: a comment
      // copy there is paired on its own.
      if (replacement->position_line < matcher_.parted_at()) {
        write_replacement(replacement->begin, replacement->end, replacement->text);
        if (replacement->comment_copy) ++comments_updated_;
      }
      waiting_.pop_front();
    } else {
      break;
    }
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
