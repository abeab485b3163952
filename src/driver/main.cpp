#include <cstdio>
#include <new>

#include "driver/command_line.h"
#include "driver/console.h"
#include "driver/run.h"
#include "driver/usage.h"
#include "driver/zeroed_store.h"

int main(int argc, char* argv[]) {
  try {
    use_utf8_console();
    const CommandLine arguments(argc, argv);
    // Double-clicked: the usage instead of an error, in a window that waits to be read.
    if (arguments.count() == 1 && started_from_the_desktop()) {
      write_usage(stdout);
      std::fputs("\nPress Enter to close.\n", stdout);
      std::fflush(stdout);
      wait_for_enter();
      return kExitError;
    }
    const ZeroedStore<DumpStores> stores;
    return run_textdump(arguments.count(), arguments.values(), *stores, stdout, stderr);
  } catch (const std::bad_alloc&) {  // before the run, or from run_textdump's own report
    return Console(stdout, stderr).error("out of memory");
  }
}
