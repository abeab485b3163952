#pragma once

#include <cstdio>

#include "table/text_table.h"

// Fills `table` from the table file at `path`. A file that cannot be opened or read
// (missing, a directory, no permission) is reported on `console` and leaves the table
// as it was; the run goes on and every code is written in its fallback form.
void load_table(const char* path, TextTable& table, std::FILE* console);
