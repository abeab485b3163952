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
  // Room for the whole file at once, where its size can be told: a pipe's cannot.
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    if (size > 0) text.reserve(static_cast<std::size_t>(size));
    std::rewind(file);
  }
  char piece[1 << 16];
  for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;)
    text.append(piece, got);
  const bool read = !std::ferror(file);
  std::fclose(file);
  if (!read) return std::nullopt;
  return text;
}

// Reads the script and writes it to `temp` with its unedited strings rendered anew. Sets
// `changed` if one was.
ScriptUpdate update(std::FILE* image, DumpStores& stores, std::string& report, std::FILE* temp,
                    bool& changed) {
  const std::optional<std::string> script = read_whole(kScriptPath);
  if (!script) return ScriptUpdate::kScriptUnreadable;
  const StringEncoder encoder(stores.table, stores.renderings);
  Report held(report);
  ScriptSink out(temp);
  ScriptUpdater updater(*script, encoder, held, out);
  if (!walk_strings(image, stores.window, stores.marks, stores.renderings, updater).image_read)
    return ScriptUpdate::kImageUnreadable;
  updater.finish();
  changed = updater.changed();
  if (changed && !out.flush()) return ScriptUpdate::kNotWritten;
  return updater.parted() ? ScriptUpdate::kParted : ScriptUpdate::kPaired;
}

}  // namespace

ScriptUpdate update_script(std::FILE* image, DumpStores& stores, std::string& report) {
  const ScriptLock lock;  // held until the new script is in place
  std::FILE* temp = lock.held() ? begin_script() : nullptr;
  if (temp == nullptr) return ScriptUpdate::kNoTextDir;
  bool changed = false;
  const ScriptUpdate outcome = update(image, stores, report, temp, changed);
  // Unless it is replaced, the script and its backup stay as they are.
  const bool replace =
      changed && (outcome == ScriptUpdate::kPaired || outcome == ScriptUpdate::kParted);
  if (!finish_script(temp, replace) && replace) return ScriptUpdate::kNotWritten;
  return outcome;
}
