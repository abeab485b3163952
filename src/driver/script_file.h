#pragma once

#include <cstdio>

// The script is written whole to a temporary file beside it, then renamed over it. A run
// that fails or is killed therefore leaves the previous script as it was; what a killed
// run leaves is the temporary file, which the next run truncates, so none pile up. The
// script it replaces becomes the backup, replacing an older one. Runs in one folder take
// turns (driver/script_lock.h) from before the temporary file is opened until the rename.
inline constexpr char kScriptPath[] = "text//script.txt";
inline constexpr char kScriptTempPath[] = "text//script.txt.tmp";
inline constexpr char kScriptBackupPath[] = "text//script.txt.bak";
inline constexpr char kScriptLockPath[] = "text//script.txt.lock";

// Opens the temporary file for writing; call with the script lock held. Null if the script
// cannot be written: the folder `text` is missing or read-only, or the script there may not
// be written (read-only, a folder).
std::FILE* begin_script();

// Closes the temporary file and, if `complete`, puts it in the script's place, the old
// script becoming the backup. Returns true if the script was replaced; otherwise the
// temporary file is removed and the script and its backup are left as they were.
bool finish_script(std::FILE* temp, bool complete);
