#pragma once

#include <string_view>

#include "dump/string_receiver.h"
#include "script/script_reader.h"

// Pairs the comment copies of an edited script (ScriptReader::next_comment_copy), in file
// order, with the blocks' first strings that the dump writes as comments: the n-th copy must
// carry the n-th such string's two addresses. From the first that does not, no further copy
// is paired; nothing is said of it, since a translator may well drop or move a comment.
class CommentCopyMatcher {
 public:
  explicit CommentCopyMatcher(ScriptSource& script) : reader_(script) {}
  // The same for a script held whole in memory, which must outlive the matcher.
  explicit CommentCopyMatcher(std::string_view script) : reader_(script) {}

  // The script's copy of the image's string `image_string`, a comment copy, valid until the
  // next call; null once the two parted.
  const ScriptString* match(const WalkedString& image_string);

  // True once the copies and the image parted.
  bool parted() const { return parted_; }
  // Where the script is read up to (ScriptReader::read_up_to).
  const char* read_up_to() const { return reader_.read_up_to(); }

 private:
  ScriptReader reader_;
  ScriptString copy_;
  bool parted_ = false;
};
