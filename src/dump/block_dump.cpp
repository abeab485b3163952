#include "dump/block_dump.h"

#include "dump/script_lines.h"
#include "rom/address.h"

namespace {

// The most the lines before a string take.
constexpr std::size_t kStringHeadRoom = kPositionCommentRoom + 64;

void warn(DumpContext& ctx, const char* what, int linear) {
  if (ctx.console == nullptr) return;
  std::fprintf(ctx.console, "\n[DUMP_LAYER2] FAIL-SAFE (%s @ %06X)", what, linear);
  ctx.wrote_to_console = true;
}

// Marks every string start the offset table names. Returns `last`, the final entry read
// (not always the largest), and counts the entries into `count`.
int scan_offset_table(DumpContext& ctx, int pos, int& count) {
  RomWindow& window = ctx.window;
  const int first = read_word(window);
  ctx.marks.set(pos + first, MARK_TARGET);
  count = 1;
  int last = first;
  while (window.cursor < first) {
    const int offset = read_word(window);
    ctx.marks.set(pos + offset, MARK_TARGET);
    ++count;
    if (offset < last) warn(ctx, "backwards", pos + window.cursor);
    last = offset;
  }
  return last;
}

}  // namespace

bool dump_layer2(DumpContext& ctx, int bank, int address, int index) {
  const int pos = linear_address(bank, address);
  if (ctx.marks.test(pos, MARK_DUMPED)) return true;
  const int base = image_offset(bank, address);
  if (base < 0) {  // bank 0 below 0x8000: nothing in the image to read
    warn(ctx, "bad address", pos);
    return true;
  }
  ctx.marks.set(pos, MARK_DUMPED);

  RomWindow& window = ctx.window;
  ScriptSink& script = ctx.script;
  if (!load_window(window, ctx.image, base)) return false;
  window.cursor = 0;

  int unmatched = 0;  // offsets read minus strings written
  const int last = scan_offset_table(ctx, pos, unmatched);

  // Strings follow each other from where the table scan stopped, each one accepted only
  // where some offset table marked a string start.
  for (int written = 0;; ++written) {
    const int at = window.cursor;
    if (at > last) {
      if (unmatched != 0) warn(ctx, "missed", pos + at);
      break;
    }
    if (!ctx.marks.test(pos + at, MARK_TARGET)) {
      warn(ctx, "no text ptr", pos + at);
      break;
    }
    --unmatched;
    // The lines before the string, straight into the script's room.
    char* out = script.room_for(kStringHeadRoom);
    out = put_position_comment(out, pos + at, base + at);
    if (written == 0) {
      out = ScriptSink::put<"\n\n//">(out);
      ctx.marks.set(pos + at, MARK_FIRST);
    } else {
      out = ScriptSink::put<"\n#WRITEINDEX($">(out);
      out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(base + 2 * written));
      out = ScriptSink::put<",2)\n#WRITE(PtrTable)\n\n">(out);
    }
    script.written_up_to(out);
    if (written == 0) {
      decode_first_string_at(ctx, pos + at);
    } else {
      decode_string_at(ctx, pos + at);
    }
  }

  // "[FILE] %06X-%06X [%X]": the block's span and twice its index number, closing its
  // section in the script and as the progress line, made once for both.
  const int end = pos + window.cursor;
  char line[48] = {'\n'};
  char* line_end = ScriptSink::put<"[FILE] ">(line + 1);
  line_end = ScriptSink::put_hex(line_end, static_cast<std::uint32_t>(pos), 6);
  line_end = ScriptSink::put<"-">(line_end);
  line_end = ScriptSink::put_hex(line_end, static_cast<std::uint32_t>(end), 6);
  line_end = ScriptSink::put<" [">(line_end);
  line_end = ScriptSink::put_hex(line_end, static_cast<std::uint32_t>(2 * index));
  line_end = ScriptSink::put<"]">(line_end);
  script.write<"\n//">();
  script.write_plain({line + 1, line_end});
  script.write<"\n">();
  script.write_plain(kSeparator);
  script.write<"\n\n\n">();
  if (ctx.console != nullptr) {
    std::fwrite(line, 1, static_cast<std::size_t>(line_end - line), ctx.console);
    ctx.wrote_to_console = true;
  }
  if (ctx.tally != nullptr) ++ctx.tally->blocks;
  return true;
}
