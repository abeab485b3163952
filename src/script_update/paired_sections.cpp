#include "script_update/paired_sections.h"

#include "script/line_ends_aside.h"
#include "script/script_lines.h"
#include "script/script_reader.h"

namespace {

// `section` without its last line end.
std::string_view without_last_line_end(std::string_view section) {
  if (section.ends_with('\n')) section.remove_suffix(1);
  if (section.ends_with('\r')) section.remove_suffix(1);
  return section;
}

bool is_position_line(std::string_view line) {
  // Most lines are told by their first bytes, without reading numbers.
  if (!line.starts_with(kPositionOpen)) return false;
  std::uint64_t linear;
  std::uint64_t offset;
  return read_position_line(line, linear, offset);
}

}  // namespace

bool PairedSections::PositionLines::next() {
  while (at_ < text_.size()) {
    const std::string_view line = line_at(text_, at_, at_);
    ++number_;
    if (is_position_line(line)) {
      line_ = line;
      return true;
    }
  }
  return false;
}

std::string_view PairedSections::PositionLines::section() {
  const std::size_t start = at_;
  for (std::size_t next; at_ < text_.size(); at_ = next, ++number_) {
    if (is_position_line(line_at(text_, at_, next))) break;
  }
  // The next search starts at the position line that ends the section.
  return text_.substr(start, at_ - start);
}

PairedSections::PairedSections(std::string_view script, std::string_view original,
                               std::string_view today)
    : script_(script), original_(original), today_(today) {}

bool PairedSections::add_next() {
  if (!paired_) return false;
  paired_ = script_.next() && original_.next() && today_.next() &&
            script_.line() == original_.line() && script_.line() == today_.line();
  if (!paired_) return false;
  Section& section = kept_.emplace_back();
  section.position_line = script_.number();
  const std::string_view script = script_.section();
  const std::string_view original = original_.section();
  const std::string_view today = today_.section();
  const std::string_view text = without_last_line_end(script);
  section.begin = text.data();
  section.end = text.data() + text.size();
  section.today = without_last_line_end(today);
  section.tool_own = !script.empty() && same_lines(script, original);
  section.as_today = same_lines(script, today);
  std::size_t second = 0;
  section.holds_comment_copy = line_at(script, 0, second).empty() && second < script.size() &&
                               script.substr(second).starts_with(kCommentLead);
  return true;
}

const PairedSections::Section* PairedSections::at_line(std::int64_t line) {
  while (kept_.empty() || kept_.back().position_line < line) {
    if (!add_next()) return nullptr;
  }
  for (auto it = kept_.rbegin(); it != kept_.rend() && it->position_line >= line; ++it)
    if (it->position_line == line) return &*it;
  return nullptr;
}

const PairedSections::Section* PairedSections::front() {
  if (kept_.empty() && !add_next()) return nullptr;
  return &kept_.front();
}
