#include "driver/command_line.h"
#include "driver/run.h"

namespace {
// constinit: zero at start at no cost, untouched pages stay free; a store that needed
// start-up code would touch all 9 MiB.
constinit DumpStores stores;
}  // namespace

int main(int argc, char* argv[]) {
  use_utf8_console();
  const CommandLine arguments(argc, argv);
  return run_textdump(arguments.count(), arguments.values(), stores, stdout, stderr);
}
