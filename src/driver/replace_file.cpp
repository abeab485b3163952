#include "driver/replace_file.h"

#ifdef _WIN32

#include <windows.h>

#include <string>

#include "driver/wide_text.h"

bool rename_over(const char* from, const char* to) {
  return MoveFileExW(utf8_to_wide(from).c_str(), utf8_to_wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING) != 0;
}

bool replace_file(const char* from, const char* to, const char* backup) {
  const std::wstring wide_from = utf8_to_wide(from);
  const std::wstring wide_to = utf8_to_wide(to);
  const std::wstring wide_backup = utf8_to_wide(backup);
  if (GetFileAttributesW(wide_to.c_str()) == INVALID_FILE_ATTRIBUTES &&
      GetLastError() == ERROR_FILE_NOT_FOUND) {  // nothing to keep
    return MoveFileExW(wide_from.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  }
  if (ReplaceFileW(wide_to.c_str(), wide_from.c_str(), wide_backup.c_str(),
                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
    return true;
  // The old file went to the backup name and the new one did not follow: put it back.
  if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
    MoveFileExW(wide_backup.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING);
  return false;
}

#else

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

bool exists(const char* path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// A second name for the file at `path`, or a copy where the file system has no hard links.
bool duplicate(const char* path, const std::string& name) {
  if (link(path, name.c_str()) == 0) return true;
  std::error_code error;
  return fs::copy_file(path, name, fs::copy_options::overwrite_existing, error);
}

}  // namespace

bool rename_over(const char* from, const char* to) {
  return std::rename(from, to) == 0;
}

bool replace_file(const char* from, const char* to, const char* backup) {
  const std::string fresh = std::string(backup) + ".new";
  const std::string previous = std::string(backup) + ".old";
  // Left by a killed run: a copy of `to`, and the older backup, which goes back to its
  // place if that is empty.
  std::remove(fresh.c_str());
  if (exists(backup)) {
    std::remove(previous.c_str());
  } else {
    std::rename(previous.c_str(), backup);
  }
  if (!exists(to)) return std::rename(from, to) == 0;

  if (!duplicate(to, fresh)) {
    std::remove(fresh.c_str());
    return false;
  }
  // The older backup steps aside until the new file is in place, to come back if it fails.
  const bool had_backup = exists(backup);
  if (had_backup && std::rename(backup, previous.c_str()) != 0) {
    std::remove(fresh.c_str());
    return false;
  }
  const bool backed_up = std::rename(fresh.c_str(), backup) == 0;
  if (backed_up && std::rename(from, to) == 0) {
    std::remove(previous.c_str());
    return true;
  }
  if (had_backup) {
    std::rename(previous.c_str(), backup);
  } else if (backed_up) {
    std::remove(backup);
  }
  std::remove(fresh.c_str());
  return false;
}

#endif
