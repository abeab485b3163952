#pragma once

#include "decode/encoding.h"
#include "decode/token_renderings.h"
#include "table/text_table.h"

// The renderings for a block's first string, which the block section holds as a comment for
// the inserter: "//" follows each line break, so that every line of the string is a
// comment, not only its first. Only first strings are decoded with it; the rest of the dump
// pays nothing.
class CommentedRenderings {
 public:
  explicit CommentedRenderings(const TokenRenderings& renderings) : renderings_(renderings) {}

  bool whole_token(int b) const { return renderings_.whole_token(b); }
  bool copy_short(char*& out, int b) const {
    if (!renderings_.copy_short(out, b)) return false;
    if (b == kLineBreak) out = comment(out);
    return true;
  }
  TokenRenderings::Lead lead(int b) const { return renderings_.lead(b); }
  char* copy_lead(char* out, int b) const { return renderings_.copy_lead(out, b); }
  char* copy(char* out, int slot) const {
    out = renderings_.copy(out, slot);
    return slot == kLineBreak ? comment(out) : out;
  }

 private:
  static constexpr int kLineBreak = 0xFE;
  static_assert(byte_class(kLineBreak).kind == ByteKind::kLineBreak);
  // The "//" fits in the room a copy has: the longest text, its line end and the slashes.
  static_assert(TextTable::kMaxText + 2 + 2 <= TokenRenderings::kCopy);

  static char* comment(char* out) {
    out[0] = '/';
    out[1] = '/';
    return out + 2;
  }

  const TokenRenderings& renderings_;
};
