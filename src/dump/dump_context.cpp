#include "dump/dump_context.h"

void count_string_at(DumpContext& ctx, int linear) {
  ctx.tally->begin_string(static_cast<std::uint32_t>(linear));
  decode_string(ctx.window, CountedRenderings(ctx.renderings, *ctx.tally), ctx.script);
}

void decode_first_string_at(DumpContext& ctx, int linear) {
  if (ctx.tally != nullptr) return count_string_at(ctx, linear);
  decode_string(ctx.window, CommentedRenderings(ctx.renderings), ctx.script);
}
