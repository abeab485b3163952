#include "driver/check_table.h"

#include "driver/table_file.h"
#include "driver/tally_report.h"
#include "dump/dump_plan.h"
#include "table/table_diagnostics.h"

namespace {

// The dump plan as DUMP_TEXT walks it, with the same renderings, counting into `tally`
// every block, string and rendering it would write; the script and the console lines are
// not written. False if a read of the image failed.
bool tally_dump_plan(std::FILE* image, DumpStores& stores, TokenTally& tally) {
  ScriptSink nowhere(nullptr);
  DumpContext ctx{image, stores.window, stores.marks, stores.renderings, nowhere, nullptr, &tally};
  return run_dump_plan(ctx);
}

}  // namespace

bool check_table(const char* table_path, std::FILE* image, DumpStores& stores, std::FILE* console) {
  TableDiagnostics diagnostics(console, stores.entry_lines);
  load_table(table_path, stores.table, console, &diagnostics);
  stores.renderings.build(stores.table);
  if (!tally_dump_plan(image, stores, stores.tally)) return false;
  write_tally_report(stores.tally, console);
  return true;
}
