#pragma once

#include <cstdio>

#include "decode/string_decoder.h"  // and the window, the renderings, the sink and the tally
#include "dump/mark_map.h"

// Decodes, in the dump's place, each string the script gives the inserter to write back
// (with #WRITE(PtrTable) or #W16): from the window's cursor, which it leaves just past the
// string's end code, as decode_string does.
class InsertedStringDecoder {
 public:
  virtual void decode_inserted_string(int linear, int offset) = 0;

 protected:
  ~InsertedStringDecoder() = default;
};

// Everything a dump pass works with. The stores are single instances for the whole run;
// the passes share the one window, so each finishes with it before the next reloads it.
struct DumpContext {
  std::FILE* image;  // read through `window` only
  RomWindow& window;
  MarkMap& marks;
  const TokenRenderings& renderings;  // the table's text for every code a string holds
  ScriptSink& script;
  std::FILE* console;  // progress lines and warnings; null: none are written
  // Null for a dump. CHECK_TABLE sets it to count the blocks, strings and renderings, into a
  // script sink that keeps nothing.
  TokenTally* tally = nullptr;
  InsertedStringDecoder* inserted_strings = nullptr;  // CHECK_SCRIPT only
  bool wrote_to_console = false;                      // set once a line went to `console`
};

// Decodes the string at the window's cursor, at linear address `linear`, into the script,
// counting it when the context carries a tally.
inline void decode_string_at(DumpContext& ctx, int linear) {
  if (ctx.tally == nullptr) [[likely]]
    return decode_string(ctx.window, ctx.renderings, ctx.script);
  ctx.tally->begin_string(static_cast<std::uint32_t>(linear));
  decode_string(ctx.window, ctx.renderings, ctx.script, *ctx.tally);
}
// The same for a block's first string, which its block section holds as a comment: every
// line of it starts with "//". A tally counts it as any other string.
inline void decode_first_string_at(DumpContext& ctx, int linear) {
  if (ctx.tally != nullptr) return decode_string_at(ctx, linear);
  decode_commented_string(ctx.window, ctx.renderings, ctx.script);
}
// The same for a string the script gives the inserter to write (every string but a block's
// first), at image offset `offset`: CHECK_SCRIPT's decoder takes it when the context carries
// one.
inline void decode_inserted_string_at(DumpContext& ctx, int linear, int offset) {
  if (ctx.inserted_strings != nullptr) [[unlikely]]
    return ctx.inserted_strings->decode_inserted_string(linear, offset);
  decode_string_at(ctx, linear);
}
