#pragma once

#include <cstdio>

#include "table/table_parser.h"
#include "table/text_table.h"

enum class TableFile {
  kRead,
  kMissing,     // reported on the console; the table is as it was
  kUnreadable,  // a read failed after the file began to be read
};

// Fills `table` from the table file at `path`. A file that cannot be opened or read
// (missing, a directory, no permission) is reported on `console`, if given, and leaves the
// table as it was; the run goes on and every code is written in its fallback form. A read that
// fails part-way is not reported here: the run cannot go on with part of a table.
// `observer`, if given, hears of every line read, and of a file in UTF-16.
TableFile load_table(const char* path, TextTable& table, std::FILE* console,
                     TableObserver* observer = nullptr);
