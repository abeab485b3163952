#pragma once

#include <cstdio>

#include "decode/token_renderings.h"
#include "rom/mark_map.h"
#include "rom/rom_window.h"
#include "table/text_table.h"

// The large stores of one run (6.5 MiB, of which a run touches a few hundred KiB), zero at
// start. Keep the instance in static storage.
struct DumpStores {
  TextTable table;
  TokenRenderings renderings;  // made from `table` once it is read
  RomWindow window;
  MarkMap marks;
};

// The whole tool: `textdump DUMP_TEXT <rom image>`. Progress and warnings go to `out`,
// fatal errors to `err`. Returns the process exit status: 0, or -1 on a fatal error.
int run_textdump(int argc, const char* const argv[], DumpStores& stores, std::FILE* out,
                 std::FILE* err);
