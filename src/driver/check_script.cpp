#include "driver/check_script.h"

#include "decode/string_encoder.h"
#include "driver/file_open.h"
#include "dump/string_walk.h"
#include "script_check/script_checker.h"

namespace {

// A read of the script failed: the check stops there, with nothing more said.
struct ScriptReadFailed {};

// The script file, read in pieces as the check goes. A failed read throws ScriptReadFailed,
// so that it is never taken for the script's end.
class ScriptFile final : public ScriptSource {
 public:
  explicit ScriptFile(std::FILE* file) : file_(file) {}
  std::size_t read(char* into, std::size_t room) override {
    const std::size_t got = std::fread(into, 1, room, file_);
    if (got < room && std::ferror(file_)) throw ScriptReadFailed{};
    return got;
  }

 private:
  std::FILE* file_;
};

}  // namespace

ScriptCheck check_script(const char* script_path, std::FILE* image, DumpStores& stores,
                         Console& console) {
  const OwnedFile script(open_to_read(script_path));
  if (script == nullptr) return ScriptCheck::kScriptUnreadable;
  // A second reading, of the blocks' first strings written as comments.
  const OwnedFile copies(open_to_read(script_path));
  if (copies == nullptr) return ScriptCheck::kScriptUnreadable;

  const StringEncoder encoder(stores.table, stores.renderings);
  ScriptFile source(script.get());
  ScriptFile copy_source(copies.get());
  ScriptChecker checker(source, copy_source, encoder, console.out());
  bool walked = false;
  bool script_read = true;
  try {
    walked =
        walk_strings(image, stores.window, stores.marks, stores.renderings, checker).image_read;
    if (walked) checker.finish();
  } catch (const ScriptReadFailed&) {
    script_read = false;
  }
  if (checker.reported()) console.line_left_open();
  if (!script_read) return ScriptCheck::kScriptReadFailed;
  if (!walked) return ScriptCheck::kImageUnreadable;
  return checker.all_well() ? ScriptCheck::kAllWell : ScriptCheck::kFound;
}
