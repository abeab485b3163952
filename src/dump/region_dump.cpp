#include "dump/region_dump.h"

#include "rom/address.h"
#include "script/script_lines.h"

bool dump_region(DumpContext& ctx, int bank, int address, int free_start, int free_end) {
  const int linear = linear_address(bank, address);
  const int base = image_offset(bank, address);
  RomWindow& window = ctx.window;
  if (!load_window(window, ctx.image, base)) return false;
  window.cursor = 0;

  write_region_opening(ctx.script, free_start, free_end);
  // The scan looks for marks from the cursor on, so a mark inside a string just written is
  // passed over.
  for (;;) {
    const int at = ctx.marks.next_first(linear + window.cursor, linear + RomWindow::kSize) - linear;
    if (at >= RomWindow::kSize) break;
    window.cursor = at;
    char* const out = ctx.script.room_for<kRegionStringHeadRoom>();
    ctx.script.written_up_to(put_region_string_head(out, linear + at, base + at));
    decode_string_at(ctx, StringKind::kInserted, linear + at, base + at, -1);
  }
  return true;
}
