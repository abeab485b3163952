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

TableCheck check_table(const char* table_path, std::FILE* image, DumpStores& stores,
                       Console& console) {
  TableDiagnostics diagnostics(console.out(), stores.entry_lines);
  const TableFile table = load_table(table_path, stores.table, console.out(), &diagnostics);
  if (table == TableFile::kMissing || diagnostics.reported()) console.line_left_open();
  if (table == TableFile::kUnreadable) return TableCheck::kTableUnreadable;
  stores.renderings.build(stores.table);
  if (!tally_dump_plan(image, stores, stores.tally)) return TableCheck::kImageUnreadable;
  write_tally_report(stores.tally, console.out());
  console.line_left_open();
  return TableCheck::kReported;
}
