#include "driver/run.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "driver/check_script.h"
#include "driver/check_table.h"
#include "driver/console.h"
#include "driver/file_open.h"
#include "driver/fresh_dump.h"
#include "driver/keep_edits.h"
#include "driver/script_file.h"
#include "driver/script_lock.h"
#include "driver/table_file.h"
#include "driver/update_script.h"
#include "driver/usage.h"
#include "dump/dump_plan.h"
#include "rom/address.h"
#include "script/script_header.h"
#include "script/script_sink.h"
#include "table/table_diagnostics.h"

namespace {

constexpr char kTablePath[] = "table//table_dump.txt";

// Null unless the image can be read at any offset: a pipe cannot be positioned.
std::FILE* open_image(const char* path) {
  std::FILE* image = open_to_read(path);
  if (image != nullptr && std::fseek(image, 0, SEEK_SET) != 0) {
    std::fclose(image);
    return nullptr;
  }
  return image;
}

// A copier's header: 512 bytes before the first bank, which shift every bank of the image.
bool has_copier_header(std::FILE* image) {
  if (std::fseek(image, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(image);
  return size >= 0 && size % kBankSize == 512;
}

// One run, once its image is open.
struct Run {
  const char* image_path;
  std::FILE* image;
  DumpStores& stores;
  Console& console;
};

// A read of the image failed after it had opened: nothing it would have written is kept.
int image_unreadable(const Run& run) {
  return run.console.error("cannot read ROM: %s", run.image_path);
}

// A read of the table failed part-way: the run cannot go on with part of a table.
int table_unreadable(const Run& run) {
  return run.console.error("cannot read %s", kTablePath);
}

enum class ScriptOutcome { kWhole, kImageUnreadable, kNotWritten };

// The header and the whole dump, to `file` and `copy`. The dump stops at the first read of
// the image that fails.
ScriptOutcome write_script(std::FILE* file, ScriptCopy& copy, const Run& run) {
  ScriptSink script(file, copy);
  if (!write_fresh_dump(run.image, run.stores, script, &run.console))
    return ScriptOutcome::kImageUnreadable;
  return script.flush() ? ScriptOutcome::kWhole : ScriptOutcome::kNotWritten;
}

// Says on the console, as CHECK_TABLE does, that the table is in UTF-16; the lines it finds no
// entry in are not reported.
class Utf16Warning final : public TableObserver {
 public:
  // Null: only notes it, for the caller to refuse the table.
  explicit Utf16Warning(Console* console) : console_(console) {}
  void line_read(std::uint32_t, std::string_view, const TableLine&) override {}
  void file_is_utf16() override {
    found = true;
    if (console_ == nullptr) return;
    std::fputs(kUtf16TableLine, console_->out());
    console_->line_left_open();
  }
  bool found = false;

 private:
  Console* console_;
};

// The table as DUMP_TEXT and CHECK_SCRIPT read it, and the renderings made from it: a missing
// table is reported and the run goes on with none, a table in UTF-16 too. False if a read of
// it failed part-way.
bool read_table(const Run& run) {
  Utf16Warning utf16(&run.console);
  switch (load_table(kTablePath, run.stores.table, run.console.out(), &utf16)) {
    case TableFile::kRead:
      break;
    case TableFile::kMissing:
      run.console.line_left_open();
      break;
    case TableFile::kUnreadable:
      return false;
  }
  run.stores.renderings.build(run.stores.table);
  return true;
}

int dump_text(const Run& run) {
  Console& console = run.console;
  if (!read_table(run)) return table_unreadable(run);
  // The folder `text` must exist: the tool never creates it.
  const ScriptLock lock;  // held until the script is in place
  if (!lock.held()) return console.error("%s", script_refusal().c_str());
  ScriptReplacement script;
  if (script.file() == nullptr) return console.error("%s", script_refusal().c_str());
  OriginalReplacement original;
  if (original.file() == nullptr) return console.error("cannot write %s", kScriptPath);
  ScriptOutcome outcome;
  OldScript old = OldScript::kKept;
  std::int64_t lost_line = 0;
  {
    FreshScriptCopy copy(original.file(), open_old_script());
    outcome = write_script(script.file(), copy, run);
    // A run whose console lines could not all be written fails as a whole.
    if (outcome == ScriptOutcome::kWhole && !console.finish_output())
      return console.error("cannot write standard output");
    if (outcome == ScriptOutcome::kWhole && copy.old_script_differs())
      old = check_old_script(run.image, run.stores, lost_line);
  }
  const bool original_placed =
      original.finish(outcome == ScriptOutcome::kWhole && old == OldScript::kKept);
  const bool replaced = script.finish(original_placed);
  if (original_placed) original.settle(replaced);
  if (replaced) return 0;
  if (outcome == ScriptOutcome::kImageUnreadable || old == OldScript::kImageUnreadable)
    return image_unreadable(run);
  if (old == OldScript::kScriptUnreadable) return console.error("cannot read %s", kScriptPath);
  if (old == OldScript::kWouldLose)
    return console.error(
        "%s differs from a fresh dump at line %lld: run UPDATE_TEXT to keep its "
        "edits, or move it away to dump afresh",
        kScriptPath, static_cast<long long>(lost_line));
  return console.error("cannot write %s", kScriptPath);
}

int check_the_table(const Run& run) {
  switch (check_table(kTablePath, run.image, run.stores, run.console)) {
    case TableCheck::kReported:
      return 0;
    case TableCheck::kTableUnreadable:
      return table_unreadable(run);
    case TableCheck::kImageUnreadable:
      return image_unreadable(run);
  }
  return kExitError;
}

int check_the_script(const Run& run) {
  if (!read_table(run)) return table_unreadable(run);
  switch (check_script(kScriptPath, run.image, run.stores, run.console)) {
    case ScriptCheck::kAllWell:
      return 0;
    case ScriptCheck::kFound:
      return 1;
    case ScriptCheck::kScriptUnreadable:
      return run.console.error("cannot open %s", kScriptPath);
    case ScriptCheck::kScriptReadFailed:
      return run.console.error("cannot read %s", kScriptPath);
    case ScriptCheck::kImageUnreadable:
      return image_unreadable(run);
  }
  return kExitError;
}

int update_the_script(const Run& run) {
  Console& console = run.console;
  // Without its table, an update would turn every unedited string into fallback forms; a
  // table in UTF-16 holds no entry it can read.
  Utf16Warning utf16(nullptr);
  switch (load_table(kTablePath, run.stores.table, nullptr, &utf16)) {
    case TableFile::kRead:
      if (utf16.found) return console.error("%s is UTF-16: save it as UTF-8", kTablePath);
      break;
    case TableFile::kMissing:
      return console.error("cannot open %s", kTablePath);
    case TableFile::kUnreadable:
      return table_unreadable(run);
  }
  run.stores.renderings.build(run.stores.table);
  std::string report;
  switch (const ScriptUpdate outcome = update_script(run.image, run.stores, report)) {
    case ScriptUpdate::kPaired:
    case ScriptUpdate::kParted:
      std::fputs(report.c_str(), console.out());
      console.line_left_open();
      return outcome == ScriptUpdate::kParted ? 1 : 0;
    case ScriptUpdate::kCannotReplace:
      return console.error("%s", script_refusal().c_str());
    case ScriptUpdate::kScriptUnreadable:
      return console.error("cannot open %s", kScriptPath);
    case ScriptUpdate::kScriptReadFailed:
      return console.error("cannot read %s", kScriptPath);
    case ScriptUpdate::kImageUnreadable:
      return image_unreadable(run);
    case ScriptUpdate::kNotWritten:
      return console.error("cannot write %s", kScriptPath);
  }
  return kExitError;
}

// The command words, compared exactly, and what each does once the image is open.
struct Command {
  const char* word;
  int (*run)(const Run&);
};
constexpr Command kCommands[] = {
    {"DUMP_TEXT", dump_text},
    {"CHECK_TABLE", check_the_table},
    {"CHECK_SCRIPT", check_the_script},
    {"UPDATE_TEXT", update_the_script},
};

const Command* find_command(const char* word) {
  for (const Command& command : kCommands) {
    if (std::strcmp(word, command.word) == 0) return &command;
  }
  return nullptr;
}

// What the run wrote to standard output is all there, or the run fails.
int finish(Console& console, int status) {
  if (!console.finish_output() && status != kExitError)
    return console.error("cannot write standard output");
  return status;
}

int run_command(int argc, const char* const argv[], DumpStores& stores, Console& console) {
  // The options work whatever follows them.
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    write_usage(console.out());
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
    write_version(console.out());
    return 0;
  }
  if (argc < 3) return console.command_line_error("no ROM args");
  const Command* command = find_command(argv[1]);
  if (command == nullptr)
    return console.command_line_error(std::string("unknown command word: ") + argv[1]);
  // A stray argument may be a slip that would push the translation into the backup.
  if (argc > 3) return console.command_line_error(std::string("unexpected argument: ") + argv[3]);

  const char* image_path = argv[2];
  const OwnedFile image(open_image(image_path));
  if (image == nullptr) return console.error("cannot open ROM: %s", image_path);
  if (has_copier_header(image.get()))
    return console.error("ROM has a 512-byte copier header: %s", image_path);
  return command->run({image_path, image.get(), stores, console});
}

}  // namespace

int run_textdump(int argc, const char* const argv[], DumpStores& stores, std::FILE* out,
                 std::FILE* err) {
  Console console(out, err);
  int status;
  try {
    status = run_command(argc, argv, stores, console);
  } catch (const std::bad_alloc&) {
    // Whatever the run had begun to write is gone with the stack: the temporary file, the lock.
    return console.error("out of memory");
  }
  return finish(console, status);
}
