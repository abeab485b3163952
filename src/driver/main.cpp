#include "driver/run.h"

namespace {
// constinit: zero at start at no cost, untouched pages stay free; a store that needed
// start-up code would touch all 9 MiB.
constinit DumpStores stores;
}  // namespace

int main(int argc, char* argv[]) {
  return run_textdump(argc, argv, stores, stdout, stderr);
}
