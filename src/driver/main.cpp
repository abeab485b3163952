#include "driver/command_line.h"
#include "driver/run.h"

namespace {
DumpStores stores;  // static storage: zero at start at no cost, untouched pages stay free
}

int main(int argc, char* argv[]) {
  use_utf8_console();
  const CommandLine arguments(argc, argv);
  return run_textdump(arguments.count(), arguments.values(), stores, stdout, stderr);
}
