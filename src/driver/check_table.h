#pragma once

#include <cstdio>

#include "driver/run.h"

// `textdump CHECK_TABLE <rom image>` once the image is open: reads the table at
// `table_path`, reporting its dropped and overridden lines as it goes, walks the dump plan
// over `image` counting what DUMP_TEXT would render, and reports the codes that had no
// text and a summary. Everything goes to `console`; no file is written. False if a read of
// the image failed; the report is then not written.
bool check_table(const char* table_path, std::FILE* image, DumpStores& stores, std::FILE* console);
