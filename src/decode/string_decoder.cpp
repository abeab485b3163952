#include "decode/string_decoder.h"

void decode_string(RomWindow& window, const TokenRenderings& renderings, ScriptSink& script) {
  for (;;) {
    const int b = read_byte(window);
    if (b < 0xBF) {  // a character
      renderings.write(script, b);
      continue;
    }
    if (b == 0xBF || (b >= 0xF0 && b <= 0xF3)) {  // a control and its parameter
      renderings.write(script, TokenRenderings::parameter_slot(b, read_byte(window)));
      continue;
    }
    // The end codes' and the line break's renderings carry their line breaks.
    renderings.write(script, b);
    if (b <= 0xCF) {
      // A run's lead tells how many follow bytes it takes and on which table page they are
      // looked up: 0xC0-0xC7 take 1-8 bytes of page 1, 0xC8-0xCF of page 2.
      const bool page_one = b <= 0xC7;
      const int follow_bytes = page_one ? b - 0xBF : b - 0xC7;
      const int page = page_one ? 0x100 : 0x200;
      for (int i = 0; i < follow_bytes; ++i) renderings.write(script, page + read_byte(window));
    } else if (b == 0xD0 || b == 0xFF) {
      return;
    }
  }
}
