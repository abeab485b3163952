#pragma once

#ifdef _WIN32

#include <string>
#include <string_view>

// Windows names files and passes command lines in UTF-16; the tool keeps every path in
// UTF-8 so that a message names it with the bytes the user gave.

// Empty if `utf8` is not well-formed UTF-8.
std::wstring utf8_to_wide(std::string_view utf8);
std::string wide_to_utf8(std::wstring_view wide);

#endif
