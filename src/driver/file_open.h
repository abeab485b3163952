#pragma once

#include <cstdio>

// Every file the tool opens goes through here, so that paths are read the same way on
// every platform. `mode` is as for std::fopen.
std::FILE* open_file(const char* utf8_path, const char* mode);
