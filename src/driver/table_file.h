#pragma once

#include <cstdio>

#include "table/table_parser.h"
#include "table/text_table.h"

// Fills `table` from the table file at `path`. A file that cannot be opened or read
// (missing, a directory, no permission) is reported on `console` and leaves the table
// as it was; the run goes on and every code is written in its fallback form. `observer`,
// if given, hears of every line read.
void load_table(const char* path, TextTable& table, std::FILE* console,
                TableObserver* observer = nullptr);
