#include "driver/update_script.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "decode/string_encoder.h"
#include "driver/file_open.h"
#include "driver/fresh_dump.h"
#include "driver/script_file.h"
#include "driver/script_lock.h"
#include "driver/whole_file.h"
#include "dump/string_walk.h"
#include "script_update/script_updater.h"

namespace {

// Reads the script and writes it to `temp` with its unedited strings rendered anew, and
// today's dump into `today`. Sets `changed` if a string was rendered anew.
ScriptUpdate update(std::FILE* image, DumpStores& stores, std::string& report, std::FILE* temp,
                    std::string& today, bool& changed) {
  std::string script;
  switch (read_whole(kScriptPath, script)) {
    case WholeFile::kRead:
      break;
    case WholeFile::kCannotOpen:
      return ScriptUpdate::kScriptUnreadable;
    case WholeFile::kReadFailed:
      return ScriptUpdate::kScriptReadFailed;
  }
  Report held(report);
  ScriptSink out(temp);
  const UpdateWalk walk = walk_update(image, stores, script, read_original(), today, held, out);
  if (!walk.image_read) return ScriptUpdate::kImageUnreadable;
  changed = walk.changed;
  if (changed && !out.flush()) return ScriptUpdate::kNotWritten;
  return walk.parted ? ScriptUpdate::kParted : ScriptUpdate::kPaired;
}

// Puts today's dump in the original's place.
bool write_original(OriginalReplacement& original, std::string_view today) {
  if (original.file() == nullptr) return false;
  bool written;
  {
    ScriptSink sink(original.file());
    sink.write_stored(today);
    written = sink.flush();
  }
  return original.finish(written);
}

}  // namespace

UpdateWalk walk_update(std::FILE* image, DumpStores& stores, std::string_view script,
                       const std::optional<std::string>& original, std::string& today,
                       Report& report, ScriptSink& out) {
  stores.marks.clear();  // a dump before may have marked every block it dumped
  {
    ScriptSink dump(today);
    if (!write_fresh_dump(image, stores, dump, nullptr)) return {false, false, false};
  }
  stores.marks.clear();
  const StringEncoder encoder(stores.table, stores.renderings);
  ScriptUpdater updater(script, original, today, encoder, report, out);
  if (!walk_strings(image, stores.window, stores.marks, stores.renderings, updater).image_read)
    return {false, false, false};
  updater.finish();
  return {true, updater.changed(), updater.parted()};
}

ScriptUpdate update_script(std::FILE* image, DumpStores& stores, std::string& report) {
  const ScriptLock lock;  // held until the new script is in place
  if (!lock.held()) return ScriptUpdate::kCannotReplace;
  ScriptReplacement script;
  if (script.file() == nullptr) return ScriptUpdate::kCannotReplace;
  std::string today;
  bool changed = false;
  ScriptUpdate outcome = update(image, stores, report, script.file(), today, changed);
  // Unless it is replaced, the script, its backup and the original stay as they are. The
  // original goes first: a run cut off between the two leaves the old script beside the new
  // original, and the next run still keeps every edit in it.
  bool replace = changed && (outcome == ScriptUpdate::kPaired || outcome == ScriptUpdate::kParted);
  std::optional<OriginalReplacement> original;
  if (replace && !write_original(original.emplace(), today)) {
    replace = false;
    outcome = ScriptUpdate::kNotWritten;
  }
  const bool replaced = script.finish(replace);
  if (replace) original->settle(replaced);
  return replace && !replaced ? ScriptUpdate::kNotWritten : outcome;
}
