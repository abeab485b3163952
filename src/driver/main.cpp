#include "driver/run.h"

namespace {
DumpStores stores;  // static storage: zero at start at no cost, untouched pages stay free
}

int main(int argc, char* argv[]) {
  return run_textdump(argc, argv, stores, stdout, stderr);
}
