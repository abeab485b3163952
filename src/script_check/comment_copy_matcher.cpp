#include "script_check/comment_copy_matcher.h"

const ScriptString* CommentCopyMatcher::match(const WalkedString& image_string) {
  if (parted_) return nullptr;
  if (!reader_.next_comment_copy(copy_) ||
      copy_.linear != static_cast<std::uint64_t>(image_string.linear) ||
      copy_.offset != static_cast<std::uint64_t>(image_string.offset)) {
    parted_ = true;
    return nullptr;
  }
  return &copy_;
}
