#include "driver/command_line.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include "driver/wide_text.h"
#endif

CommandLine::CommandLine(int argc, char* argv[]) {
#ifdef _WIN32
  int wide_count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wide_count);
  if (wide != nullptr) {
    for (int i = 0; i < wide_count; ++i) arguments_.push_back(wide_to_utf8(wide[i]));
    LocalFree(wide);
  } else {
    arguments_.assign(argv, argv + argc);
  }
#else
  arguments_.assign(argv, argv + argc);
#endif
  for (const std::string& argument : arguments_) pointers_.push_back(argument.c_str());
}

void use_utf8_console() {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
#endif
}
