#include "driver/check_script.h"

#include "decode/string_encoder.h"
#include "driver/file_open.h"
#include "dump/string_walk.h"
#include "script_check/script_checker.h"

namespace {

// The script file, read in pieces as the check goes.
class ScriptFile final : public ScriptSource {
 public:
  explicit ScriptFile(std::FILE* file) : file_(file) {}
  std::size_t read(char* into, std::size_t room) override {
    return std::fread(into, 1, room, file_);
  }

 private:
  std::FILE* file_;
};

}  // namespace

ScriptCheck check_script(const char* script_path, std::FILE* image, DumpStores& stores,
                         Console& console) {
  std::FILE* script = open_to_read(script_path);
  if (script == nullptr) return ScriptCheck::kScriptUnreadable;
  // A second reading, of the blocks' first strings written as comments.
  std::FILE* copies = open_to_read(script_path);
  if (copies == nullptr) {
    std::fclose(script);
    return ScriptCheck::kScriptUnreadable;
  }

  const StringEncoder encoder(stores.table, stores.renderings);
  ScriptFile source(script);
  ScriptFile copy_source(copies);
  ScriptChecker checker(source, copy_source, encoder, console.out());
  const bool walked =
      walk_strings(image, stores.window, stores.marks, stores.renderings, checker).image_read;
  if (walked) checker.finish();
  if (checker.reported()) console.line_left_open();
  const bool script_read = !std::ferror(script) && !std::ferror(copies);
  std::fclose(script);
  std::fclose(copies);
  if (!script_read) return ScriptCheck::kScriptUnreadable;
  if (!walked) return ScriptCheck::kImageUnreadable;
  return checker.all_well() ? ScriptCheck::kAllWell : ScriptCheck::kFound;
}
