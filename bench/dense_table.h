#pragma once

#include <string>

// A full character table for the dense image: every single code, both run pages and the
// parameter codes of some controls, with a few codes left out so that every fallback form
// appears in the script.
std::string dense_table_text();
