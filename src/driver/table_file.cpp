#include "driver/table_file.h"

#include <array>

#include "driver/file_open.h"
#include "table/table_parser.h"

TableFile load_table(const char* path, TextTable& table, std::FILE* console,
                     TableObserver* observer) {
  std::array<char, 4096> chunk;  // a page a read: a table is a few of them
  std::FILE* file = open_file(path, "rb");
  std::size_t got = file != nullptr ? std::fread(chunk.data(), 1, chunk.size(), file) : 0;
  // A directory opens for reading here but fails at the first read.
  if (file == nullptr || (got == 0 && std::ferror(file))) {
    if (console != nullptr) std::fprintf(console, "\nTable file not found: %s", path);
    if (file != nullptr) std::fclose(file);
    return TableFile::kMissing;
  }
  if (observer != nullptr && starts_as_utf16({chunk.data(), got})) observer->file_is_utf16();
  TableParser parser(table, observer);
  for (;;) {
    parser.feed({chunk.data(), got});
    if (got < chunk.size()) break;  // end of file, or a read error
    got = std::fread(chunk.data(), 1, chunk.size(), file);
  }
  const bool whole = !std::ferror(file);
  std::fclose(file);
  if (!whole) return TableFile::kUnreadable;
  parser.finish();
  return TableFile::kRead;
}
