#include "driver/fresh_dump.h"

#include "dump/dump_plan.h"
#include "script/script_header.h"

bool write_fresh_dump(std::FILE* image, DumpStores& stores, ScriptSink& script, Console* console) {
  DumpContext ctx{image,        stores.window,
                  stores.marks, stores.renderings,
                  script,       console != nullptr ? console->out() : nullptr};
  write_script_header(script);
  const bool read = run_dump_plan(ctx);
  if (ctx.wrote_to_console) console->line_left_open();
  return read;
}
