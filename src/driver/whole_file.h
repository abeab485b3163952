#pragma once

#include <optional>
#include <string>

enum class WholeFile {
  kRead,
  kCannotOpen,
  kReadFailed,  // a read failed after the file began to be read
};

// The whole file at `path`, into `text`.
WholeFile read_whole(const char* path, std::string& text);

// The original beside the script (driver/script_file.h), if it is a regular file (a link to
// one included) that can be read.
std::optional<std::string> read_original();
