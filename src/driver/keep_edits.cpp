#include "driver/keep_edits.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "driver/file_open.h"
#include "driver/script_file.h"
#include "driver/update_script.h"
#include "driver/whole_file.h"
#include "script/line_ends_aside.h"

FreshScriptCopy::~FreshScriptCopy() {
  if (old_script_ != nullptr) std::fclose(old_script_);
}

bool FreshScriptCopy::copy(std::string_view piece) {
  if (old_script_ != nullptr && same_so_far_) {
    if (room_ < piece.size()) {
      room_ = piece.size();
      old_piece_ = std::make_unique<char[]>(room_);
    }
    same_so_far_ = std::fread(old_piece_.get(), 1, piece.size(), old_script_) == piece.size() &&
                   std::memcmp(old_piece_.get(), piece.data(), piece.size()) == 0;
  }
  return std::fwrite(piece.data(), 1, piece.size(), original_) == piece.size();
}

bool FreshScriptCopy::old_script_differs() {
  if (old_script_ == nullptr) return false;
  return !same_so_far_ || std::fgetc(old_script_) != EOF || std::ferror(old_script_);
}

std::FILE* open_old_script() {
  std::error_code error;
  if (!std::filesystem::is_regular_file(kScriptPath, error)) return nullptr;
  return open_to_read(kScriptPath);
}

OldScript check_old_script(std::FILE* image, DumpStores& stores, std::int64_t& line) {
  std::string script;
  if (read_whole(kScriptPath, script) != WholeFile::kRead) return OldScript::kScriptUnreadable;
  std::string fresh;
  std::string report;  // a dump says nothing of it
  Report held(report);
  std::string updated;
  {
    ScriptSink out(updated);
    if (!walk_update(image, stores, script, read_original(), fresh, held, out).image_read)
      return OldScript::kImageUnreadable;
  }
  line = first_different_line(updated, fresh);
  return line == 0 ? OldScript::kKept : OldScript::kWouldLose;
}
