#pragma once

#include <cstdio>

#include "decode/token_renderings.h"
#include "dump/mark_map.h"
#include "rom/rom_window.h"
#include "table/text_table.h"

// The large stores of one run, zero at start: 6.5 MiB (the table 4.25, the marks 2.06), of
// which a run touches a few hundred KiB. Keep the instance in a ZeroedStore.
struct DumpStores {
  TextTable table;
  TokenRenderings renderings;  // made from `table` once it is read
  RomWindow window;
  MarkMap marks;
};

// The whole tool: `textdump DUMP_TEXT <rom image>`, `textdump CHECK_TABLE <rom image>` to
// check the table, `textdump CHECK_SCRIPT <rom image>` to check the edited script, or
// `--help`, `-h` or `--version` first, whatever follows. Progress, warnings, the checks' reports
// and usage go to `out`, fatal errors to `err`. Arguments are UTF-8.
// Returns the process exit status: 0; 1 when CHECK_SCRIPT found something to look at; 255 on
// a fatal error, running out of memory included ("ERROR - out of memory"; nothing is written).
int run_textdump(int argc, const char* const argv[], DumpStores& stores, std::FILE* out,
                 std::FILE* err);
