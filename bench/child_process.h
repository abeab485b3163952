#pragma once

#include <string>
#include <vector>

// One timed run of a program.
struct ChildRun {
  int exit_status = -1;  // -1 if it did not exit normally
  double wall_ms = 0;    // from just before the start to just after the wait
  double cpu_ms = 0;     // the child's own user + system time
};

// Runs `args[0]` (a path) with `args` in the current folder, its standard output sent to
// `out_path`, and waits for it. The child is started without copying the parent's pages.
ChildRun run_child(const std::vector<std::string>& args, const char* out_path);
