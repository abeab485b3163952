#include "support/fault_injection.h"

#include <gtest/gtest.h>

#include <cstdlib>

bool can_inject_faults() {
#ifdef _WIN32
  return false;
#else
  static const bool works = std::system("strace -o /dev/null true >/dev/null 2>&1") == 0;
  // CI sets this, so that a machine without a working strace cannot pass by skipping.
  if (!works && std::getenv("TEXTDUMP_REQUIRE_STRACE") != nullptr)
    ADD_FAILURE() << "strace cannot trace a child here, and TEXTDUMP_REQUIRE_STRACE is set";
  return works;
#endif
}

std::string with_fault(const std::string& path, const std::string& inject) {
  // LeakSanitizer cannot check a process that another tracer holds.
  const std::string only_path = path.empty() ? "" : "-P '" + path + "' ";
  return "export ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\"; "
         "exec strace --quiet=path-resolution -o /dev/null " +
         only_path + "-e inject=" + inject + " ";
}
