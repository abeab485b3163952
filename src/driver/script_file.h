#pragma once

#include <cstdio>
#include <string>

// The script is written whole to a temporary file beside it, then renamed over it. A run
// that fails or is killed therefore leaves the previous script as it was; what a killed
// run leaves is the temporary file, which the next run truncates, so none pile up. The
// script it replaces becomes the backup, replacing an older one. Runs in one folder take
// turns (driver/script_lock.h) from before the temporary file is opened until the rename.
inline constexpr char kScriptPath[] = "text//script.txt";
inline constexpr char kScriptLockPath[] = "text//script.txt.lock";

// One replacement of the script. Make it with the script lock held. On POSIX, a script that
// is a symbolic link to a regular file is replaced where the link points: the temporary
// file, the backup and the rename are beside that file (its name plus ".tmp" and ".bak"),
// and the link stays. Anything else at the script's name is replaced as a file there.
class ScriptReplacement {
 public:
  // Opens the temporary file for writing.
  ScriptReplacement();
  // A replacement not finished (an error, an exception) removes its temporary file.
  ~ScriptReplacement();
  ScriptReplacement(const ScriptReplacement&) = delete;
  ScriptReplacement& operator=(const ScriptReplacement&) = delete;

  // The temporary file, unbuffered; null if the script cannot be written: the folder `text`
  // is missing or may not be written, or the script there may not be written (read-only, a
  // folder). script_refusal() then says why.
  std::FILE* file() const { return temp_; }

  // Closes the temporary file and, if `complete`, puts it in the script's place, the old
  // script becoming the backup. Returns true if the script was replaced; otherwise the
  // temporary file is removed and the script and its backup are left as they were.
  bool finish(bool complete);

 private:
  std::string script_;  // the file replaced: the script, or the file its link points at
  std::string temp_path_;
  std::FILE* temp_ = nullptr;
};

// The error for a script that cannot be written, without "ERROR - ": "no TEXT dir" when the
// folder `text` does not exist or is not a folder, else "cannot write text//script.txt".
std::string script_refusal();

// The original: the script DUMP_TEXT writes today, put beside the script whenever a new
// script is put in place, before it. An update tells from it which lines are still the tool's
// own. It is always here, even where the script is a link.
inline constexpr char kOriginalPath[] = "text//script.txt.orig";

// One replacement of the original, made with the script lock held, before the script's. It is
// replaced as the script is, through a temporary file, with no backup: the original it
// replaces steps aside until settle(), and a run killed in between leaves it there for the
// next run to remove.
class OriginalReplacement {
 public:
  // Opens the temporary file for writing.
  OriginalReplacement();
  // Unfinished, it removes its temporary file; put in place but not settled, it puts the
  // original back as it was.
  ~OriginalReplacement();
  OriginalReplacement(const OriginalReplacement&) = delete;
  OriginalReplacement& operator=(const OriginalReplacement&) = delete;

  // The temporary file, unbuffered; null if it cannot be made.
  std::FILE* file() const { return temp_; }

  // Closes the temporary file and, if `complete`, puts it in the original's place. Returns true
  // if it did; otherwise the temporary file is removed and the original left as it was.
  bool finish(bool complete);
  // After finish(): the original that stepped aside goes if the script was replaced, and comes
  // back if it was not, so that a failed run leaves the original as it was.
  void settle(bool script_replaced);

 private:
  std::FILE* temp_ = nullptr;
  bool placed_ = false;  // in place, not yet settled
};
