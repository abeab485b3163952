#include "driver/check_table.h"

#include "driver/table_file.h"
#include "driver/tally_report.h"
#include "table/table_diagnostics.h"

namespace {

// The walk of the dump plan, counting into `tally` every block, string and rendering that
// DUMP_TEXT would write, region sections included, with each fallback under its key.
// NOT WIRED YET: it walks nothing, so the report shows 0 blocks. Its body is to run the
// same plan and decoder as DUMP_TEXT, with the tally in place of the script.
void tally_dump_plan(std::FILE* /*image*/, DumpStores& /*stores*/, TokenTally& /*tally*/) {}

}  // namespace

void check_table(const char* table_path, std::FILE* image, DumpStores& stores, std::FILE* console) {
  TableDiagnostics diagnostics(console, stores.entry_lines);
  load_table(table_path, stores.table, console, &diagnostics);
  tally_dump_plan(image, stores, stores.tally);
  write_tally_report(stores.tally, console);
}
