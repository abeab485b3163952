#include "script_check/script_matcher.h"

const ScriptString* ScriptMatcher::match(const WalkedString& image_string) {
  if (parted_) return nullptr;
  if (!read()) {
    parted_at_ = kNoLine;
    report_.put("[SCRIPT] the string @ ");
    report_.put_address(image_string.linear);
    report_.put(" is missing");
  } else if (string_.linear != static_cast<std::uint64_t>(image_string.linear) ||
             string_.offset != static_cast<std::uint64_t>(image_string.offset)) {
    report_.put("[SCRIPT] line ");
    report_.put_number(string_.position_line);
    report_.put(": the image has the string @ ");
    report_.put_address(image_string.linear);
    report_.put(" here");
    parted_at_ = string_.position_line;
  } else {
    return &string_;
  }
  report_.end_line();
  parted_ = true;
  return nullptr;
}

bool ScriptMatcher::read() {
  const bool found = reader_.next(string_);
  if (listener_ != nullptr) listener_->read(string_, found);
  return found;
}

void ScriptMatcher::finish() {
  if (parted_ || !read()) return;
  report_.put("[SCRIPT] line ");
  report_.put_number(string_.position_line);
  report_.put(": the image has no further string");
  parted_at_ = string_.position_line;
  report_.end_line();
  parted_ = true;
}
