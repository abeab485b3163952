#include "driver/update_script.h"

#include <optional>

#include "decode/string_encoder.h"
#include "driver/file_open.h"
#include "driver/script_file.h"
#include "driver/script_lock.h"
#include "dump/string_walk.h"
#include "script_update/script_updater.h"

namespace {

// The whole file at `path`, or nothing if it cannot be opened or read.
std::optional<std::string> read_whole(const char* path) {
  std::FILE* file = open_to_read(path);
  if (file == nullptr) return std::nullopt;
  std::string text;
  char piece[1 << 16];
  for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;)
    text.append(piece, got);
  const bool read = !std::ferror(file);
  std::fclose(file);
  if (!read) return std::nullopt;
  return text;
}

// Reads the script and renders its unedited strings anew into `updated`, which stays empty
// if none was.
ScriptUpdate update(std::FILE* image, DumpStores& stores, std::string& report,
                    std::string& updated) {
  const std::optional<std::string> script = read_whole(kScriptPath);
  if (!script) return ScriptUpdate::kScriptUnreadable;
  const StringEncoder encoder(stores.table, stores.renderings);
  Report held(report);
  ScriptUpdater updater(*script, encoder, held);
  if (!walk_strings(image, stores.window, stores.marks, stores.renderings, updater).image_read)
    return ScriptUpdate::kImageUnreadable;
  updater.finish();
  if (updater.changed()) updated = updater.updated_script();
  return updater.parted() ? ScriptUpdate::kParted : ScriptUpdate::kPaired;
}

}  // namespace

ScriptUpdate update_script(std::FILE* image, DumpStores& stores, std::string& report) {
  const ScriptLock lock;  // held until the new script is in place
  std::FILE* temp = lock.held() ? begin_script() : nullptr;
  if (temp == nullptr) return ScriptUpdate::kNoTextDir;
  std::string updated;
  const ScriptUpdate outcome = update(image, stores, report, updated);
  const bool replace =
      !updated.empty() && (outcome == ScriptUpdate::kPaired || outcome == ScriptUpdate::kParted);
  bool written = false;
  if (replace) {
    ScriptSink sink(temp);
    sink.write_stored(updated);
    written = sink.flush();
  }
  // Unless it is replaced, the script and its backup stay as they are.
  if (!finish_script(temp, written) && replace) return ScriptUpdate::kNotWritten;
  return outcome;
}
