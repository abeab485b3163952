#include "driver/command_line.h"

#include <cstdio>
#include <cstdlib>

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

#ifdef _WIN32
namespace {
UINT console_code_page = 0;
void restore_console_code_page() {
  SetConsoleOutputCP(console_code_page);
}
}  // namespace
#endif

void use_utf8_console() {
#ifdef _WIN32
  // The code page belongs to the console window, not to this process: give it back at exit.
  console_code_page = GetConsoleOutputCP();
  if (console_code_page == 0 || console_code_page == CP_UTF8) return;  // 0: no console
  SetConsoleOutputCP(CP_UTF8);
  std::atexit(restore_console_code_page);
#endif
}

bool started_from_the_desktop() {
#ifdef _WIN32
  DWORD processes[2];
  DWORD mode = 0;
  return GetConsoleProcessList(processes, 2) == 1 &&
         GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0 &&
         GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
#else
  return false;
#endif
}

void wait_for_enter() {
  for (int c; (c = std::getchar()) != EOF && c != '\n';) {
  }
}
