#include "driver/check_table.h"

#include "driver/table_file.h"
#include "driver/tally_report.h"
#include "driver/zeroed_store.h"
#include "dump/string_walk.h"
#include "table/table_diagnostics.h"

namespace {

// Counts every string the dump would write, and every rendering in it.
class StringTally final : public StringReceiver {
 public:
  StringTally(const TokenRenderings& renderings, TokenTally& tally)
      : renderings_(renderings), tally_(tally) {}

  void receive(const WalkedString& string) override {
    tally_.begin_string(static_cast<std::uint32_t>(string.linear));
    for_each_rendering(renderings_, string.bytes, [&](int slot) {
      tally_.count_token(renderings_.missing_key(slot));
      return true;
    });
  }

 private:
  const TokenRenderings& renderings_;
  TokenTally& tally_;
};

// The dump plan as DUMP_TEXT walks it, counting into `tally` every block, string and
// rendering it would write. False if a read of the image failed.
bool tally_dump_plan(std::FILE* image, DumpStores& stores, TokenTally& tally) {
  StringTally strings(stores.renderings, tally);
  const StringWalk walk =
      walk_strings(image, stores.window, stores.marks, stores.renderings, strings);
  tally.blocks = static_cast<std::uint32_t>(walk.blocks);
  return walk.image_read;
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
