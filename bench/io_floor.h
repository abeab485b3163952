#pragma once

#include <vector>

// The reads and writes a dump cannot avoid, as a process of its own: create or truncate the
// script, load each window (one seek and one 64 KiB read at each image offset), then write
// `script_size` bytes in 64 KiB writes. Returns the process exit status.
int run_io_floor(const char* image_path, const char* script_path, long script_size,
                 const std::vector<long>& window_loads);
