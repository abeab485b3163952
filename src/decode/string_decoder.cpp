#include "decode/string_decoder.h"

#include <cstddef>

namespace {

// The most one token writes: a run's lead and eight follow bytes, each a full copy.
constexpr std::ptrdiff_t kTokenRoom = 9 * TokenRenderings::kCopy;

}  // namespace

void decode_string(RomWindow& window, const TokenRenderings& renderings, ScriptSink& script) {
  // The cursor and the output position stay in registers for the whole string: each byte
  // written is a char store, after which anything in memory would have to be read again.
  const std::uint8_t* const bytes = window.buffer.data();
  int cursor = window.cursor;
  auto next = [&] { return cursor < RomWindow::kSize ? bytes[cursor++] : 0xFF; };
  char* out = script.room_for(kTokenRoom);
  char* end = script.room_end();
  for (;;) {
    if (end - out < kTokenRoom) {
      script.written_up_to(out);
      out = script.room_for(kTokenRoom);
      end = script.room_end();
    }
    const int b = next();
    if (b < 0xBF) {  // a character
      out = renderings.copy(out, b);
      continue;
    }
    if (b == 0xBF || (b >= 0xF0 && b <= 0xF3)) {  // a control and its parameter
      out = renderings.copy(out, TokenRenderings::parameter_slot(b, next()));
      continue;
    }
    // The end codes' and the line break's renderings carry their line breaks.
    out = renderings.copy(out, b);
    if (b <= 0xCF) {
      // A run's lead tells how many follow bytes it takes and on which table page they are
      // looked up: 0xC0-0xC7 take 1-8 bytes of page 1, 0xC8-0xCF of page 2.
      const bool page_one = b <= 0xC7;
      const int follow_bytes = page_one ? b - 0xBF : b - 0xC7;
      const int page = page_one ? 0x100 : 0x200;
      for (int i = 0; i < follow_bytes; ++i) out = renderings.copy(out, page + next());
    } else if (b == 0xD0 || b == 0xFF) {
      break;
    }
  }
  window.cursor = cursor;
  script.written_up_to(out);
}
