#include "driver/replace_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#endif

bool replace_file(const char* from, const char* to) {
#ifdef _WIN32
  // std::rename refuses to replace an existing file here.
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from, to) == 0;
#endif
}
