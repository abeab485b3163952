#include "dump/region_dump.h"

#include "dump/script_lines.h"
#include "rom/address.h"

bool dump_region(DumpContext& ctx, int bank, int address, int free_start, int free_end) {
  const int base = image_offset(bank, address);
  const int lin = linear_address(bank, address);
  RomWindow& window = ctx.window;
  ScriptSink& script = ctx.script;
  if (!load_window(window, ctx.image, base)) return false;
  window.cursor = 0;

  script.write<"\n">();
  script.write_plain(kSeparator);
  script.write<"\n//\n#JMP($">();
  script.write_hex(static_cast<std::uint32_t>(free_start));
  script.write<",$">();
  script.write_hex(static_cast<std::uint32_t>(free_end));
  script.write<")\n">();

  // The scan looks for marks from the cursor on, so a mark inside a string just written is
  // passed over.
  for (;;) {
    const int at =
        ctx.marks.find_next(lin + window.cursor, lin + RomWindow::kSize, MARK_FIRST) - lin;
    if (at >= RomWindow::kSize) break;
    window.cursor = at;
    char* out = script.room_for(kPositionCommentRoom + 32);
    out = ScriptSink::put<"\n">(out);
    out = put_position_comment(out, lin + at, base + at);
    out = ScriptSink::put<"\n#W16($">(out);
    out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(base + at));
    script.written_up_to(ScriptSink::put<")\n">(out));
    decode_inserted_string_at(ctx, lin + at, base + at);
  }
  return true;
}
