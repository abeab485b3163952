#include "decode/string_decoder.h"

#include <cstddef>

namespace {

// The most bytes one token takes: a run's lead and eight follow bytes.
constexpr int kLongestToken = 9;
// The most one token writes: each of those bytes as a full copy.
constexpr std::ptrdiff_t kTokenRoom = kLongestToken * TokenRenderings::kCopy;

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

// Renderings is TokenRenderings or CountedRenderings: anything that copies a slot's text.
template <typename Renderings>
void decode(RomWindow& window, const Renderings& renderings, ScriptSink& script) {
  // The cursor and the output position stay in registers for the whole string: each byte
  // written is a char store, after which anything in memory would have to be read again.
  const std::uint8_t* const bytes = window.buffer.data();
  int cursor = window.cursor;
  char* out = script.room_for(kTokenRoom);
  for (;;) {
    // While a whole token lies inside the window and fits the output's room, nothing needs
    // checking byte by byte.
    const char* const out_limit = script.room_end() - kTokenRoom;
    auto next = [&] { return bytes[cursor++]; };
    int b = 0;
    while (out <= out_limit && cursor <= RomWindow::kSize - kLongestToken) {
      b = next();
      if (b < 0xBF) {  // a plain character
        out = renderings.copy(out, b);
        continue;
      }
      out = write_control_or_run(renderings, out, b, next);
      if (ends_string(b)) goto done;
    }
    if (out > out_limit) {
      script.written_up_to(out);
      out = script.room_for(kTokenRoom);
      continue;
    }
    // Near the window's end: past it every byte reads as 0xFF and the cursor stays.
    {
      auto next_checked = [&] { return cursor < RomWindow::kSize ? bytes[cursor++] : 0xFF; };
      b = next_checked();
      out = b < 0xBF ? renderings.copy(out, b)
                     : write_control_or_run(renderings, out, b, next_checked);
      if (ends_string(b)) break;
    }
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
