#include "driver/command_line.h"
#include "driver/run.h"
#include "driver/zeroed_store.h"

int main(int argc, char* argv[]) {
  use_utf8_console();
  const CommandLine arguments(argc, argv);
  const ZeroedStore<DumpStores> stores;
  return run_textdump(arguments.count(), arguments.values(), *stores, stdout, stderr);
}
