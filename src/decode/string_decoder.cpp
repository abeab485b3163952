#include "decode/string_decoder.h"

#include "decode/compiler_hints.h"

namespace {

// A table text is at most 39 bytes and never holds a line feed.
void write_text(ScriptSink& script, const TextTable& table, int code) {
  script.write_prefix(table.slots[static_cast<std::size_t>(code)],
                      table.lengths[static_cast<std::size_t>(code)]);
}

// "<$%02X>". The fallbacks stay out of line so that the common case, table text, inlines.
TEXTDUMP_NOINLINE void write_raw_value(ScriptSink& script, int value) {
  script.write<"<$">();
  script.write_hex(static_cast<std::uint32_t>(value), 2);
  script.write<">">();
}

// "<CODE %02X>"
TEXTDUMP_NOINLINE void write_code_value(ScriptSink& script, int code) {
  script.write<"<CODE ">();
  script.write_hex(static_cast<std::uint32_t>(code), 2);
  script.write<">">();
}

// The lead byte of a character run tells how many follow bytes it takes and on which
// table page they are looked up: 0xC0-0xC7 take 1-8 bytes of page 1, 0xC8-0xCF of page 2.
void decode_run(RomWindow& window, const TextTable& table, ScriptSink& script, int lead) {
  render_char(table, script, lead, lead);
  const bool page_one = lead <= 0xC7;
  const int follow_bytes = page_one ? lead - 0xBF : lead - 0xC7;
  const int page = page_one ? 0x100 : 0x200;
  for (int i = 0; i < follow_bytes; ++i) {
    const int raw = read_byte(window);
    render_char(table, script, page + raw, raw);
  }
}

}  // namespace

void render_char(const TextTable& table, ScriptSink& script, int code, int raw) {
  if (table.defined(code)) {
    write_text(script, table, code);
  } else {
    write_raw_value(script, raw);
  }
}

void render_code(const TextTable& table, ScriptSink& script, int code) {
  if (table.defined(code)) {
    write_text(script, table, code);
  } else {
    write_code_value(script, code);
  }
}

void render_code(const TextTable& table, ScriptSink& script, int hi, int param) {
  const int code = hi << 8 | param;
  if (table.defined(code)) {
    write_text(script, table, code);
    return;
  }
  render_code(table, script, hi);
  write_raw_value(script, param);
}

void decode_string(RomWindow& window, const TextTable& table, ScriptSink& script) {
  for (;;) {
    const int b = read_byte(window);
    if (b <= 0xBE) {
      render_char(table, script, b, b);
    } else if (b == 0xBF || (b >= 0xF0 && b <= 0xF3)) {
      render_code(table, script, b, read_byte(window));
    } else if (b <= 0xCF) {
      decode_run(window, table, script, b);
    } else if (b == 0xD0 || b == 0xFF) {
      render_code(table, script, b);
      script.write<"\n\n\n">();
      return;
    } else {
      render_code(table, script, b);
      if (b == 0xFE) script.write<"\n">();  // line break; the string goes on
    }
  }
}
