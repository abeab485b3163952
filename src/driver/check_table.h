#pragma once

#include <cstdio>

#include "driver/console.h"
#include "driver/run.h"

enum class TableCheck { kReported, kTableUnreadable, kImageUnreadable };

// `textdump CHECK_TABLE <rom image>` once the image is open: reads the table at
// `table_path`, reporting its dropped and overridden lines as it goes and then the codes
// that share a text, walks the dump plan over `image` counting what DUMP_TEXT would render,
// and reports the codes that had no text and a summary. Everything goes to the console's standard
// output; no file is written. If a read of the table or the image fails, the report is not written.
TableCheck check_table(const char* table_path, std::FILE* image, DumpStores& stores,
                       Console& console);
