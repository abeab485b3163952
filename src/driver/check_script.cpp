#include "driver/check_script.h"

#include <span>
#include <string>
#include <vector>

#include "decode/string_bytes.h"
#include "decode/string_encoder.h"
#include "driver/file_open.h"
#include "dump/dump_plan.h"
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

// Decodes each string the dump writes for the inserter into memory, and hands it to the
// checker with the bytes the decoder read.
class StringsToCheck final : public InsertedStringDecoder {
 public:
  StringsToCheck(RomWindow& window, const TokenRenderings& renderings, ScriptChecker& checker)
      : window_(window), renderings_(renderings), checker_(checker), rendered_(rendering_) {}

  void decode_inserted_string(int linear, int offset) override {
    const int start = window_.cursor;
    rendering_.clear();
    decode_string(window_, renderings_, rendered_);
    rendered_.flush();
    if (!checker_.wants_more()) return;
    // The decoder stops just past the end code, so the window holds the bytes it read,
    // unless it ran past the window's end and read 0xFF there.
    std::span<const std::uint8_t> bytes(window_.buffer.data() + start,
                                        static_cast<std::size_t>(window_.cursor - start));
    if (window_.cursor == RomWindow::kSize) {
      read_string_bytes(window_, start, past_the_end_);
      bytes = past_the_end_;
    }
    checker_.check({linear, offset, bytes, rendering_});
  }

 private:
  RomWindow& window_;
  const TokenRenderings& renderings_;
  ScriptChecker& checker_;
  std::string rendering_;
  ScriptSink rendered_;  // keeps what it is given in rendering_
  std::vector<std::uint8_t> past_the_end_;
};

}  // namespace

ScriptCheck check_script(const char* script_path, std::FILE* image, DumpStores& stores,
                         Console& console) {
  const OwnedFile script(open_to_read(script_path));
  if (script == nullptr) return ScriptCheck::kScriptUnreadable;

  const StringEncoder encoder(stores.table, stores.renderings);
  ScriptFile source(script.get());
  ScriptChecker checker(source, encoder, console.out());
  StringsToCheck strings(stores.window, stores.renderings, checker);
  ScriptSink nowhere(nullptr);
  DumpContext ctx{image, stores.window, stores.marks, stores.renderings, nowhere, nullptr};
  ctx.inserted_strings = &strings;
  bool walked = false;
  bool script_read = true;
  try {
    walked = run_dump_plan(ctx);
    if (walked) checker.finish();
  } catch (const ScriptReadFailed&) {
    script_read = false;
  }
  if (checker.reported()) console.line_left_open();
  if (!script_read) return ScriptCheck::kScriptReadFailed;
  if (!walked) return ScriptCheck::kImageUnreadable;
  return checker.all_well() ? ScriptCheck::kAllWell : ScriptCheck::kFound;
}
