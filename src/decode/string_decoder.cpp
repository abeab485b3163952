#include "decode/string_decoder.h"

#include <algorithm>
#include <cstddef>

namespace {

// The most bytes one token takes: a run's lead and eight follow bytes.
constexpr int kLongestToken = 9;
// The most one token writes: each of those bytes as a full copy.
constexpr std::ptrdiff_t kTokenRoom = kLongestToken * TokenRenderings::kCopy;
// Output room made before each stretch of tokens: enough for a stretch of 64 bytes or more.
constexpr std::ptrdiff_t kStretchRoom = kTokenRoom + 64 * TokenRenderings::kCopy;

// Writes a token that is not a plain character: a control, with its parameter if it takes
// one, or a run. next() reads the parameter or follow bytes.
template <typename Renderings, typename Next>
char* write_control_or_run(const Renderings& renderings, char* out, int b, Next next) {
  if (b == 0xBF || (b >= 0xF0 && b <= 0xF3))
    return renderings.copy(out, TokenRenderings::parameter_slot(b, next()));
  // The end codes' and the line break's renderings carry their line breaks.
  out = renderings.copy(out, b);
  if (b <= 0xCF) {
    // A run's lead tells how many follow bytes it takes and on which table page they are
    // looked up: 0xC0-0xC7 take 1-8 bytes of page 1, 0xC8-0xCF of page 2.
    const bool page_one = b <= 0xC7;
    const int follow_bytes = page_one ? b - 0xBF : b - 0xC7;
    const int page = page_one ? 0x100 : 0x200;
    for (int i = 0; i < follow_bytes; ++i) out = renderings.copy(out, page + next());
  }
  return out;
}

bool ends_string(int b) {
  return b == 0xD0 || b == 0xFF;
}

// Renderings is TokenRenderings, CountedRenderings or CommentedRenderings: anything that
// copies a slot's text.
template <typename Renderings>
void decode(RomWindow& window, const Renderings& renderings, ScriptSink& script) {
  // The read and output positions stay in registers for the whole string: each byte
  // written is a char store, after which anything in memory would have to be read again.
  const std::uint8_t* const bytes = window.buffer.data();
  int cursor = window.cursor;
  char* out = script.room_for(kStretchRoom);
  for (;;) {
    if (script.room_end() - out < kStretchRoom) {
      script.written_up_to(out);
      out = script.room_for(kStretchRoom);
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
      do {
        const int b = next();
        // Most tokens are a character or a control on its own, with a short text.
        if (renderings.copy_short(out, b)) [[likely]]
          continue;
        if (renderings.whole_token(b)) {
          out = renderings.copy(out, b);
          continue;
        }
        // A parameter control, a run's lead or an end code, told apart by data, not by
        // branches: each branch here would be mispredicted about as often as it is taken.
        const TokenRenderings::Lead lead = renderings.lead(b);
        out = renderings.copy_lead(out, b);
        for (int i = 0; i < lead.follow; ++i) out = renderings.copy(out, lead.page + next());
        if (lead.ends) {
          cursor = static_cast<int>(at - bytes);
          goto done;
        }
      } while (at <= last);
      cursor = static_cast<int>(at - bytes);
      continue;
    }
    // Near the window's end: past it every byte reads as 0xFF and the cursor stays.
    auto next_checked = [&] { return cursor < RomWindow::kSize ? bytes[cursor++] : 0xFF; };
    const int b = next_checked();
    out =
        b < 0xBF ? renderings.copy(out, b) : write_control_or_run(renderings, out, b, next_checked);
    if (ends_string(b)) break;
  }
done:
  window.cursor = cursor;
  script.written_up_to(out);
}

}  // namespace

void decode_string(RomWindow& window, const TokenRenderings& renderings, ScriptSink& script) {
  decode(window, renderings, script);
}

void decode_string(RomWindow& window, const CountedRenderings& renderings, ScriptSink& script) {
  decode(window, renderings, script);
}

void decode_string(RomWindow& window, const CommentedRenderings& renderings, ScriptSink& script) {
  decode(window, renderings, script);
}
