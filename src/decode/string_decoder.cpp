#include "decode/string_decoder.h"

#include <algorithm>
#include <cstddef>

#include "decode/encoding.h"
#include "script/script_lines.h"

namespace {

// The most one token writes: each of its bytes as a full copy.
constexpr std::ptrdiff_t kTokenRoom = kLongestToken * TokenRenderings::kCopy;
// Output room made before each stretch of tokens: enough for a stretch of 64 bytes or more.
constexpr std::ptrdiff_t kStretchRoom = kTokenRoom + 64 * TokenRenderings::kCopy;

// Writes the token that next() reads at `out`, which has room for kTokenRoom bytes, moving
// `out` past it. After each rendering, rendered(out, slot) hears which slot it came from, with
// `out` just past it: a comment may follow a line break there, within
// the room of the line break's copy. True if the token ends the string.
template <typename Next, typename Rendered>
bool write_token(const TokenRenderings& renderings, char*& out, Next& next,
                 const Rendered& rendered) {
  const int b = next();
  // Most tokens are a character or a control on its own, with a short text.
  if (renderings.copy_short(out, b)) [[likely]] {
    rendered(out, b);
    return false;
  }
  if (renderings.whole_token(b)) {
    out = renderings.copy(out, b);
    rendered(out, b);
    return false;
  }
  // A parameter control, a run's lead or an end code, told apart by data, not by branches:
  // each branch here would be mispredicted about as often as it is taken.
  const TokenRenderings::Lead lead = renderings.lead(b);
  out = renderings.copy_lead(out, b);
  if (lead.own_text) rendered(out, b);
  for (int i = 0; i < lead.follow; ++i) {
    const int slot = lead.follow_slot + next();
    out = renderings.copy(out, slot);
    rendered(out, slot);
  }
  return lead.ends;
}

template <typename Rendered>
void decode(RomWindow& window, const TokenRenderings& renderings, ScriptSink& script,
            const Rendered& rendered) {
  // The read and output positions stay in registers for the whole string: each byte
  // written is a char store, after which anything in memory would have to be read again.
  const std::uint8_t* const bytes = window.buffer.data();
  int cursor = window.cursor;
  char* out = script.room_for<kStretchRoom>();
  for (;;) {
    if (script.room_end() - out < kStretchRoom) {
      script.written_up_to(out);
      out = script.room_for<kStretchRoom>();
    }
    if (cursor <= RomWindow::kSize - kLongestToken) {
      // A stretch of tokens checked once each: every byte read writes at most one copy, so
      // the output has room for all the bytes up to `last` and one whole token after it.
      // Each token lies inside the window.
      const std::ptrdiff_t room_bytes =
          (script.room_end() - out - kTokenRoom) / TokenRenderings::kCopy;
      const std::uint8_t* at = bytes + cursor;
      const std::uint8_t* const last =
          bytes + std::min<std::ptrdiff_t>(RomWindow::kSize - kLongestToken, cursor + room_bytes);
      auto next = [&at] { return *at++; };
      bool ended;
      do {
        ended = write_token(renderings, out, next, rendered);
      } while (!ended && at <= last);
      cursor = static_cast<int>(at - bytes);
      if (ended) break;
      continue;
    }
    // Near the window's end: past it every byte reads as 0xFF and the cursor stays.
    auto next_checked = [&] { return cursor < RomWindow::kSize ? bytes[cursor++] : 0xFF; };
    if (write_token(renderings, out, next_checked, rendered)) break;
  }
  window.cursor = cursor;
  script.written_up_to(out);
}

// True if `slot` holds the line break's rendering: a single-byte code's slot is its byte.
constexpr bool is_line_break(int slot) {
  return slot < std::ssize(kByteClasses) && kByteClasses[slot].kind == ByteKind::kLineBreak;
}

// The comment's start written after a line break fits in the room of the line break's copy,
// so the decoder's room for each byte read still holds.
static_assert(TextTable::kMaxText + line_ends_after(ByteKind::kLineBreak) * kLineEnd.size() +
                  kCommentStartRoom <=
              TokenRenderings::kCopy);

}  // namespace

void decode_string(RomWindow& window, const TokenRenderings& renderings, ScriptSink& script) {
  decode(window, renderings, script, [](char*&, int) {});  // a dump adds nothing
}

void decode_commented_string(RomWindow& window, const TokenRenderings& renderings,
                             ScriptSink& script) {
  decode(window, renderings, script, [](char*& out, int slot) {
    if (is_line_break(slot)) out = put_comment_start(out);
  });
}
