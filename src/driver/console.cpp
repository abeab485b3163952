#include "driver/console.h"

#include <cstdarg>

bool Console::finish_output() {
  if (line_open_) std::fputc('\n', out_);
  line_open_ = false;
  const bool flushed = std::fflush(out_) == 0;
  return flushed && !std::ferror(out_);
}

int Console::error(const char* format, ...) {
  finish_output();
  std::fputs("ERROR - ", err_);
  std::va_list arguments;
  va_start(arguments, format);
  std::vfprintf(err_, format, arguments);
  va_end(arguments);
  std::fputc('\n', err_);
  std::fflush(err_);
  return kExitError;
}

int Console::command_line_error(const std::string& message) {
  error("%s", message.c_str());
  std::fputs("Try 'textdump --help' for more information.\n", err_);
  std::fflush(err_);
  return kExitError;
}
