#pragma once

#include <cstdio>

#include "rom/mark_map.h"
#include "rom/rom_window.h"
#include "table/text_table.h"

// The large stores of one run (9 MiB), zero at start. Keep the instance in static storage.
struct DumpStores {
  TextTable table;
  RomWindow window;
  MarkMap marks;
};

// The whole tool: `textdump DUMP_TEXT <rom image>`, or `--help`, `-h` or `--version` alone.
// Progress, warnings and usage go to `out`, fatal errors to `err`. Arguments are UTF-8.
// Returns the process exit status: 0, or -1 on a fatal error.
int run_textdump(int argc, const char* const argv[], DumpStores& stores, std::FILE* out,
                 std::FILE* err);
