#include "driver/check_table.h"

#include "driver/table_file.h"
#include "driver/tally_report.h"
#include "driver/zeroed_store.h"
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
  {
    const ZeroedStore<EntryLines> entry_lines;
    TableDiagnostics diagnostics(console, *entry_lines);
    load_table(table_path, stores.table, console, &diagnostics);
  }
  stores.renderings.build(stores.table);
  TokenTally tally;
  if (!tally_dump_plan(image, stores, tally)) return false;
  write_tally_report(tally, console);
  return true;
}
