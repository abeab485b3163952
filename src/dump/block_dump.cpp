#include "dump/block_dump.h"

#include "rom/address.h"
#include "script/script_lines.h"

namespace {

void warn(DumpContext& ctx, const char* what, int where) {
  if (ctx.console == nullptr) return;
  std::fprintf(ctx.console, "\n[DUMP_LAYER2] FAIL-SAFE (%s @ %06X)", what, where);
  ctx.wrote_to_console = true;
}

// Marks every string start the offset table names. Returns `last`, the final entry read
// (not always the largest), and counts the entries into `count`.
int scan_offset_table(DumpContext& ctx, int linear, int& count) {
  RomWindow& window = ctx.window;
  const int first = read_word(window);
  ctx.marks.mark_target(linear + first);
  count = 1;
  int last = first;
  while (window.cursor < first) {
    const int offset = read_word(window);
    ctx.marks.mark_target(linear + offset);
    ++count;
    if (offset < last) warn(ctx, "backwards", linear + window.cursor);
    last = offset;
  }
  return last;
}

}  // namespace

bool dump_layer2(DumpContext& ctx, int bank, int address, int index) {
  const int linear = linear_address(bank, address);
  if (ctx.marks.was_dumped(linear)) return true;
  const int base = image_offset(bank, address);
  if (base < 0) {  // bank 0 below 0x8000: nothing in the image to read
    warn(ctx, "bad address", linear);
    return true;
  }
  ctx.marks.mark_dumped(linear);

  RomWindow& window = ctx.window;
  ScriptSink& script = ctx.script;
  if (!load_window(window, ctx.image, base)) return false;
  window.cursor = 0;

  int unmatched = 0;  // offsets read minus strings written
  const int last = scan_offset_table(ctx, linear, unmatched);

  // Strings follow each other from where the table scan stopped, each one accepted only
  // where some offset table marked a string start.
  for (int written = 0;; ++written) {
    const int at = window.cursor;
    if (at > last) {
      if (unmatched != 0) warn(ctx, "missed", linear + at);
      break;
    }
    if (!ctx.marks.is_target(linear + at)) {
      warn(ctx, "no text ptr", linear + at);
      break;
    }
    --unmatched;
    const int entry = base + 2 * written;  // the string's own in the offset table
    char* out = script.room_for<kStringHeadRoom>();
    if (written == 0) {
      out = put_first_string_head(out, linear + at, base + at);
      ctx.marks.mark_first(linear + at);
    } else {
      out = put_string_head(out, linear + at, base + at, entry);
    }
    script.written_up_to(out);
    decode_string_at(ctx, written == 0 ? StringKind::kCommentCopy : StringKind::kInserted,
                     linear + at, base + at, entry);
  }

  // The file line closes the block's section and, after a line feed, is its progress line.
  char progress[1 + kFileLineRoom] = {'\n'};
  const char* const line_end =
      put_file_line(progress + 1, linear, linear + window.cursor, 2 * index);
  write_block_footer(script, {progress + 1, line_end});
  if (ctx.console != nullptr) {
    std::fwrite(progress, 1, static_cast<std::size_t>(line_end - progress), ctx.console);
    ctx.wrote_to_console = true;
  }
  ++ctx.blocks;
  return true;
}
