#pragma once

#include <cstdio>
#include <memory>

// std::fopen for a path in UTF-8 on every system. Windows' narrow fopen takes the ANSI code
// page, which cannot name most files (a Japanese file name on a Western system, say).
std::FILE* open_file(const char* utf8_path, const char* mode);

// Closes a file however its owner goes, running out of memory included.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using OwnedFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens `utf8_path` for binary reading, unbuffered: its readers read in large pieces. Null
// unless a first read succeeds: a directory opens for reading here but fails at the first
// read. On Windows the file is opened with read, write and delete sharing, so that another
// run may replace it meanwhile (a dump, while CHECK_SCRIPT reads the script).
std::FILE* open_to_read(const char* utf8_path);
