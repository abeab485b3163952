#include "driver/script_file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "driver/file_open.h"
#include "driver/replace_file.h"

namespace {

// A script the user may not write stays refused, as it was when the script was written in
// place: renaming over it would overrule a read-only file.
bool script_may_be_replaced() {
  std::FILE* script = open_file(kScriptPath, "r+b");  // neither creates nor truncates
  if (script == nullptr) return errno == ENOENT;
  std::fclose(script);
  return true;
}

// The new script keeps the access rights the old one had, as a file rewritten in place does.
void take_over_permissions() {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status old_script = fs::status(kScriptPath, error);
  if (!error) fs::permissions(kScriptTempPath, old_script.permissions(), error);
}

}  // namespace

std::FILE* begin_script() {
  if (!script_may_be_replaced()) return nullptr;
  std::FILE* temp = open_file(kScriptTempPath, "wb");
  if (temp != nullptr) std::setvbuf(temp, nullptr, _IONBF, 0);  // the script sink buffers
  return temp;
}

bool finish_script(std::FILE* temp, bool complete) {
  // No fsync: the rename is the point at which the new script takes the old one's place.
  const bool closed = std::fclose(temp) == 0;
  if (complete && closed) {
    take_over_permissions();
    if (replace_file(kScriptTempPath, kScriptPath, kScriptBackupPath)) return true;
  }
  std::remove(kScriptTempPath);
  return false;
}

std::FILE* begin_original() {
  std::remove(kOriginalAsidePath);  // left by a killed run
  std::FILE* temp = open_file(kOriginalTempPath, "wb");
  if (temp != nullptr) std::setvbuf(temp, nullptr, _IONBF, 0);  // the script sink buffers
  return temp;
}

bool finish_original(std::FILE* temp, bool complete) {
  const bool closed = std::fclose(temp) == 0;
  if (complete && closed) {
    const bool aside = rename_over(kOriginalPath, kOriginalAsidePath);
    if (rename_over(kOriginalTempPath, kOriginalPath)) return true;
    if (aside) rename_over(kOriginalAsidePath, kOriginalPath);
  }
  std::remove(kOriginalTempPath);
  return false;
}

void settle_original(bool script_replaced) {
  if (script_replaced) {
    std::remove(kOriginalAsidePath);
  } else if (!rename_over(kOriginalAsidePath, kOriginalPath)) {
    std::remove(kOriginalPath);  // there was none before
  }
}
