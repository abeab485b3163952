#include "script_check/script_matcher.h"

const ScriptString* ScriptMatcher::match(const WalkedString& image_string) {
  if (parted_) return nullptr;
  if (!reader_.next(string_)) {
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

void ScriptMatcher::finish() {
  if (parted_ || !reader_.next(string_)) return;
  report_.put("[SCRIPT] line ");
  report_.put_number(string_.position_line);
  report_.put(": the image has no further string");
  parted_at_ = string_.position_line;
  report_.end_line();
  parted_ = true;
}
