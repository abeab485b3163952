#pragma once

#include <string>
#include <vector>

// The program's arguments in UTF-8. On Windows the narrow `argv` is in the ANSI code page,
// which turns a Japanese file name into question marks, so there the arguments are taken
// from the UTF-16 command line instead. Elsewhere they are `argv` as it is.
class CommandLine {
 public:
  CommandLine(int argc, char* argv[]);

  int count() const { return static_cast<int>(pointers_.size()); }
  const char* const* values() const { return pointers_.data(); }

 private:
  std::vector<std::string> arguments_;
  std::vector<const char*> pointers_;
};

// Lets a Windows console show the UTF-8 bytes of a message (a path) as the characters they
// are, until the program exits. Does nothing elsewhere, and changes no byte that is written.
void use_utf8_console();

// True on Windows when the program was started from the desktop (a double click): it is the
// only process on its console, and standard input and output are that console. The window
// then closes as soon as the program ends. Always false elsewhere.
bool started_from_the_desktop();

// Waits until Enter is pressed (or standard input ends).
void wait_for_enter();
