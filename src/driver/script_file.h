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

// The original: the script DUMP_TEXT writes today, put beside the script whenever a new
// script is put in place, before it. An update tells from it which lines are still the tool's
// own. It is replaced as the script is, through a temporary file, and has no backup; it is
// always here, even where the script is a link.
inline constexpr char kOriginalPath[] = "text//script.txt.orig";
inline constexpr char kOriginalTempPath[] = "text//script.txt.orig.tmp";
inline constexpr char kOriginalAsidePath[] = "text//script.txt.orig.old";

// Opens the temporary file for writing; call with the script lock held. Null if the script
// cannot be written: the folder `text` is missing or read-only, or the script there may not
// be written (read-only, a folder).
std::FILE* begin_script();

// Closes the temporary file and, if `complete`, puts it in the script's place, the old
// script becoming the backup. Returns true if the script was replaced; otherwise the
// temporary file is removed and the script and its backup are left as they were.
bool finish_script(std::FILE* temp, bool complete);

// Opens the original's temporary file for writing; call with the script lock held. Null if it
// cannot be made.
std::FILE* begin_original();

// Closes the original's temporary file and, if `complete`, puts it in the original's place,
// the one it replaces stepping aside until settle_original(). Returns true if it did;
// otherwise the temporary file is removed and the original left as it was.
bool finish_original(std::FILE* temp, bool complete);

// After finish_original(): the original that stepped aside goes if the script was replaced,
// and comes back if it was not, so that a failed run leaves the original as it was. A run
// killed in between leaves it aside, where the next run removes it.
void settle_original(bool script_replaced);
