#pragma once

#include <cstdio>

// The script is written whole to a temporary file beside it, then renamed over it. A run
// that fails or is killed therefore leaves the previous script as it was; what a killed
// run leaves is the temporary file, which the next run truncates, so none pile up.
inline constexpr char kScriptPath[] = "text//script.txt";
inline constexpr char kScriptTempPath[] = "text//script.txt.tmp";

// Opens the temporary file for writing. Null if the script cannot be written: the folder
// `text` is missing or read-only, or the script there may not be written (read-only, a
// folder).
std::FILE* begin_script();

// Closes the temporary file and, if `complete`, renames it over the script. Returns true if
// the script was replaced; otherwise the temporary file is removed and the script is left
// as it was.
bool finish_script(std::FILE* temp, bool complete);
