#include "driver/script_file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "driver/file_open.h"
#include "driver/replace_file.h"

namespace {

namespace fs = std::filesystem;

// The file a replacement of the script replaces: the script, or on POSIX the regular file
// its symbolic link points at, so that the link and the file it names stay one.
std::string replaced_file() {
#ifndef _WIN32
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(kScriptPath, error)) &&
      fs::is_regular_file(fs::status(kScriptPath, error))) {
    const fs::path target = fs::canonical(kScriptPath, error);
    if (!error) return target.string();
  }
#endif
  return kScriptPath;
}

// A script the user may not write stays refused, as it was when the script was written in
// place: renaming over it would overrule a read-only file.
bool may_be_replaced(const std::string& script) {
  std::FILE* file = open_file(script.c_str(), "r+b");  // neither creates nor truncates
  if (file == nullptr) return errno == ENOENT;
  std::fclose(file);
  return true;
}

// The new script keeps the access rights the old one had, as a file rewritten in place does.
void take_over_permissions(const std::string& script, const std::string& temp) {
  std::error_code error;
  const fs::file_status old_script = fs::status(script, error);
  if (!error) fs::permissions(temp, old_script.permissions(), error);
}

// Windows refuses to delete a read-only file, which the temporary file is once it has taken
// over a read-only script's rights: it is made writable first.
void remove_temp(const std::string& temp) {
  if (std::remove(temp.c_str()) == 0) return;
  std::error_code error;
  fs::permissions(temp, fs::perms::owner_write, fs::perm_options::add, error);
  std::remove(temp.c_str());
}

}  // namespace

ScriptReplacement::ScriptReplacement() : script_(replaced_file()), temp_path_(script_ + ".tmp") {
  if (!may_be_replaced(script_)) return;
  temp_ = open_file(temp_path_.c_str(), "wb");
  if (temp_ != nullptr) std::setvbuf(temp_, nullptr, _IONBF, 0);  // the script sink buffers
}

ScriptReplacement::~ScriptReplacement() {
  if (temp_ != nullptr) finish(false);
}

bool ScriptReplacement::finish(bool complete) {
  // No fsync: the rename is the point at which the new script takes the old one's place.
  const bool closed = std::fclose(temp_) == 0;
  temp_ = nullptr;
  if (complete && closed) {
    take_over_permissions(script_, temp_path_);
    const std::string backup = script_ + ".bak";
    if (replace_file(temp_path_.c_str(), script_.c_str(), backup.c_str())) return true;
  }
  remove_temp(temp_path_);
  return false;
}

std::string script_refusal() {
  std::error_code error;
  if (!fs::is_directory(fs::status("text", error))) return "no TEXT dir";
  return std::string("cannot write ") + kScriptPath;
}

namespace {

constexpr char kOriginalTempPath[] = "text//script.txt.orig.tmp";
constexpr char kOriginalAsidePath[] = "text//script.txt.orig.old";

}  // namespace

OriginalReplacement::OriginalReplacement() {
  std::remove(kOriginalAsidePath);  // left by a killed run
  temp_ = open_file(kOriginalTempPath, "wb");
  if (temp_ != nullptr) std::setvbuf(temp_, nullptr, _IONBF, 0);  // the script sink buffers
}

OriginalReplacement::~OriginalReplacement() {
  if (temp_ != nullptr) finish(false);
  if (placed_) settle(false);
}

bool OriginalReplacement::finish(bool complete) {
  const bool closed = std::fclose(temp_) == 0;
  temp_ = nullptr;
  if (complete && closed) {
    const bool aside = rename_over(kOriginalPath, kOriginalAsidePath);
    if (rename_over(kOriginalTempPath, kOriginalPath)) return placed_ = true;
    if (aside) rename_over(kOriginalAsidePath, kOriginalPath);
  }
  remove_temp(kOriginalTempPath);
  return false;
}

void OriginalReplacement::settle(bool script_replaced) {
  placed_ = false;
  if (script_replaced) {
    std::remove(kOriginalAsidePath);
  } else if (!rename_over(kOriginalAsidePath, kOriginalPath)) {
    std::remove(kOriginalPath);  // there was none before
  }
}
