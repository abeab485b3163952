#include "dump/string_walk.h"

#include <string>
#include <vector>

#include "decode/string_bytes.h"
#include "dump/dump_plan.h"

// Decodes each string into memory and hands it to the receiver with the bytes read for it.
class StringCapture {
 public:
  explicit StringCapture(StringReceiver& receiver) : receiver_(receiver), sink_(rendering_) {}

  void capture(RomWindow& window, const TokenRenderings& renderings, StringKind kind, int linear,
               int offset, int entry) {
    const int start = window.cursor;
    rendering_.clear();
    decode_string(window, renderings, sink_);
    sink_.flush();
    // The decoder stops just past the end code, so the window holds the bytes it read,
    // unless it ran past the window's end and read 0xFF there.
    std::span<const std::uint8_t> bytes(window.buffer.data() + start,
                                        static_cast<std::size_t>(window.cursor - start));
    if (window.cursor == RomWindow::kSize) {
      read_string_bytes(window, start, past_the_end_);
      bytes = past_the_end_;
    }
    receiver_.receive({kind, linear, offset, bytes, rendering_, entry});
  }

 private:
  StringReceiver& receiver_;
  std::string rendering_;
  ScriptSink sink_;  // keeps what it is given in rendering_
  std::vector<std::uint8_t> past_the_end_;
};

void decode_string_at(DumpContext& ctx, StringKind kind, int linear, int offset, int entry) {
  if (ctx.capture != nullptr) [[unlikely]]
    return ctx.capture->capture(ctx.window, ctx.renderings, kind, linear, offset, entry);
  if (kind == StringKind::kCommentCopy)
    return decode_commented_string(ctx.window, ctx.renderings, ctx.script);
  decode_string(ctx.window, ctx.renderings, ctx.script);
}

StringWalk walk_strings(std::FILE* image, RomWindow& window, MarkMap& marks,
                        const TokenRenderings& renderings, StringReceiver& receiver) {
  ScriptSink nowhere(nullptr);
  StringCapture capture(receiver);
  DumpContext ctx{image, window, marks, renderings, nowhere, nullptr, &capture};
  const bool read = run_dump_plan(ctx);
  return {read, ctx.blocks};
}
