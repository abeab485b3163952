#pragma once

#include <cstdio>

// `textdump --help`: the command line, the files read and written, the exit statuses.
void write_usage(std::FILE* out);

// `textdump --version`: "textdump 1.0.0".
void write_version(std::FILE* out);
