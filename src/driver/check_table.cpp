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

// Reads the table, reporting its dropped and overridden lines, then the codes that share a
// text; the line numbers kept for that are let go once it is read.
TableFile read_table_reporting(const char* table_path, TextTable& table, Console& console) {
  const ZeroedStore<EntryLines> entry_lines;
  TableDiagnostics diagnostics(console.out(), *entry_lines);
  const TableFile read = load_table(table_path, table, console.out(), &diagnostics);
  if (read == TableFile::kRead) diagnostics.report_shared_texts(table);
  if (read == TableFile::kMissing || diagnostics.reported()) console.line_left_open();
  return read;
}

}  // namespace

TableCheck check_table(const char* table_path, std::FILE* image, DumpStores& stores,
                       Console& console) {
  if (read_table_reporting(table_path, stores.table, console) == TableFile::kUnreadable)
    return TableCheck::kTableUnreadable;
  stores.renderings.build(stores.table);
  TokenTally tally;
  if (!tally_dump_plan(image, stores, tally)) return TableCheck::kImageUnreadable;
  write_tally_report(tally, console.out());
  console.line_left_open();
  return TableCheck::kReported;
}
