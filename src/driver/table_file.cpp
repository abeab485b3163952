#include "driver/table_file.h"

#include <array>

#include "driver/file_open.h"
#include "table/table_parser.h"

void load_table(const char* path, TextTable& table, std::FILE* console, TableObserver* observer) {
  std::array<char, 4096> chunk;  // a page a read: a table is a few of them
  std::FILE* file = open_file(path, "rb");
  std::size_t got = file != nullptr ? std::fread(chunk.data(), 1, chunk.size(), file) : 0;
  // A directory opens for reading here but fails at the first read.
  if (file == nullptr || std::ferror(file)) {
    std::fprintf(console, "\nTable file not found: %s", path);
    if (file != nullptr) std::fclose(file);
    return;
  }
  TableParser parser(table, observer);
  for (;;) {
    parser.feed({chunk.data(), got});
    if (got < chunk.size()) break;  // end of file, or a read error: keep what was read
    got = std::fread(chunk.data(), 1, chunk.size(), file);
  }
  parser.finish();
  std::fclose(file);
}
