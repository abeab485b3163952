#pragma once

#include <cstdio>

// std::fopen for a path in UTF-8 on every system. Windows' narrow fopen takes the ANSI code
// page, which cannot name most files (a Japanese file name on a Western system, say).
std::FILE* open_file(const char* utf8_path, const char* mode);
