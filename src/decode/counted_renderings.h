#pragma once

#include "decode/token_renderings.h"
#include "table/token_tally.h"

// The renderings, with every copy counted into a tally: what CHECK_TABLE decodes with, so
// that it meets exactly the tokens a dump writes. The dump itself decodes with the bare
// renderings and pays nothing for the count.
class CountedRenderings {
 public:
  CountedRenderings(const TokenRenderings& renderings, TokenTally& tally)
      : renderings_(renderings), tally_(tally) {}

  bool whole_token(int b) const { return renderings_.whole_token(b); }
  bool copy_short(char*& out, int b) const {
    if (!renderings_.copy_short(out, b)) return false;
    tally_.count_token(renderings_.missing_key(b));
    return true;
  }
  TokenRenderings::Lead lead(int b) const { return renderings_.lead(b); }
  char* copy_lead(char* out, int b) const {
    if (renderings_.lead(b).own_text) tally_.count_token(renderings_.missing_key(b));
    return renderings_.copy_lead(out, b);
  }
  char* copy(char* out, int slot) const {
    tally_.count_token(renderings_.missing_key(slot));
    return renderings_.copy(out, slot);
  }

 private:
  const TokenRenderings& renderings_;
  TokenTally& tally_;
};
