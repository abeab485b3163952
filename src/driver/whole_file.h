#pragma once

#include <optional>
#include <string>

// The whole file at `path`, or nothing if it cannot be opened or read.
std::optional<std::string> read_whole(const char* path);

// The original beside the script (driver/script_file.h), if it is a regular file (a link to
// one included) that can be read.
std::optional<std::string> read_original();
