#include "dump/region_dump.h"

#include "decode/string_decoder.h"
#include "dump/script_lines.h"
#include "rom/address.h"

void dump_region(DumpContext& ctx, int bank, int address, int free_start, int free_end) {
  const int base = image_offset(bank, address);
  const int lin = linear_address(bank, address);
  RomWindow& window = ctx.window;
  ScriptSink& script = ctx.script;
  load_window(window, ctx.image, base);
  window.cursor = 0;

  script.write("\n");
  script.write(kSeparator);
  script.write("\n//\n#JMP($");
  script.write_hex(static_cast<std::uint32_t>(free_start));
  script.write(",$");
  script.write_hex(static_cast<std::uint32_t>(free_end));
  script.write(")\n");

  // Offsets inside a string just written are not tested: a mark there is passed over.
  while (window.cursor < RomWindow::kSize) {
    const int at = window.cursor;
    if (!ctx.marks.test(lin + at, MARK_FIRST)) {
      ++window.cursor;
      continue;
    }
    script.write("\n");
    write_position_comment(script, lin + at, base + at);
    script.write("\n#W16($");
    script.write_hex(static_cast<std::uint32_t>(base + at));
    script.write(")\n");
    decode_string(window, ctx.table, script);
  }
}
