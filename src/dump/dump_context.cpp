#include "dump/dump_context.h"

#include "decode/string_decoder.h"

void decode_string_at(DumpContext& ctx, int linear) {
  if (ctx.tally == nullptr) return decode_string(ctx.window, ctx.renderings, ctx.script);
  ctx.tally->begin_string(static_cast<std::uint32_t>(linear));
  decode_string(ctx.window, CountedRenderings(ctx.renderings, *ctx.tally), ctx.script);
}
