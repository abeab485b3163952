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
