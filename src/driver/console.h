#pragma once

#include <cstdio>
#include <string>

// The exit status of every error, the same on every system: a Windows batch file's
// `if errorlevel 1` reads a negative status as success.
inline constexpr int kExitError = 255;

// Standard output and standard error as one run uses them. Every message on standard output
// starts with its own line feed, so the run adds the one that ends the last line. Standard
// output is handed on before anything goes to standard error, so that a terminal shows the
// lines in the order they were made.
class Console {
 public:
  Console(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

  std::FILE* out() const { return out_; }
  // Says that something went to standard output after the last line feed there.
  void line_left_open() { line_open_ = true; }

  // Ends standard output's last line and hands everything on. False if a write to standard
  // output failed at any time in the run (a full disk, say).
  bool finish_output();

  // "ERROR - " and the printf-style rest on standard error, after standard output is
  // finished. Returns kExitError.
  [[gnu::format(printf, 2, 3)]] int error(const char* format, ...);
  // The same for a mistake on the command line, with a pointer to the usage after it.
  int command_line_error(const std::string& message);

 private:
  std::FILE* out_;
  std::FILE* err_;
  bool line_open_ = false;
};
