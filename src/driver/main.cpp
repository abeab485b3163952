#include <cstdio>
#include <new>

#include "driver/command_line.h"
#include "driver/console.h"
#include "driver/run.h"
#include "driver/zeroed_store.h"

int main(int argc, char* argv[]) {
  try {
    use_utf8_console();
    const CommandLine arguments(argc, argv);
    const ZeroedStore<DumpStores> stores;
    return run_textdump(arguments.count(), arguments.values(), *stores, stdout, stderr);
  } catch (const std::bad_alloc&) {  // before the run, or from run_textdump's own report
    return Console(stdout, stderr).error("out of memory");
  }
}
