#pragma once

#include <string>

// How much of the code space the dense image's table gives text to.
enum class DenseTable {
  full,   // every code the dumper can meet in a string
  empty,  // none: every code in its fallback form
  mixed,  // about four in five, as in a table still being written
};

// The table file's text: LF line ends, UTF-8 for everything beyond ASCII.
std::string dense_table_text(DenseTable kind);
