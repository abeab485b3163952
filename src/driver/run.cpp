#include "driver/run.h"

#include <cstring>

#include "driver/check_script.h"
#include "driver/check_table.h"
#include "driver/file_open.h"
#include "driver/script_file.h"
#include "driver/table_file.h"
#include "driver/usage.h"
#include "dump/dump_plan.h"
#include "script/script_header.h"
#include "script/script_sink.h"

namespace {

constexpr char kTablePath[] = "table//table_dump.txt";

// Null unless the image can be read at any offset: a directory opens for reading here
// but fails at the first read, and a pipe cannot be positioned.
std::FILE* open_image(const char* path) {
  std::FILE* image = open_file(path, "rb");
  if (image == nullptr) return nullptr;
  std::setvbuf(image, nullptr, _IONBF, 0);  // each window load is one large read
  bool readable = std::fseek(image, 0, SEEK_SET) == 0;
  if (readable) {
    std::fgetc(image);
    readable = !std::ferror(image);
  }
  if (!readable) {
    std::fclose(image);
    return nullptr;
  }
  return image;
}

enum class ScriptOutcome { kWhole, kImageUnreadable, kNotWritten };

// The header and the whole dump. The dump stops at the first read of the image that fails.
ScriptOutcome write_script(std::FILE* file, std::FILE* image, DumpStores& stores, std::FILE* out) {
  ScriptSink script(file);
  DumpContext ctx{image, stores.window, stores.marks, stores.renderings, script, out};
  write_script_header(script);
  if (!run_dump_plan(ctx)) return ScriptOutcome::kImageUnreadable;
  return script.flush() ? ScriptOutcome::kWhole : ScriptOutcome::kNotWritten;
}

// A read of the image failed after it had opened: nothing it would have written is kept.
int image_unreadable(std::FILE* err, const char* image_path) {
  std::fprintf(err, "ERROR - cannot read ROM: %s\n", image_path);
  return -1;
}

}  // namespace

int run_textdump(int argc, const char* const argv[], DumpStores& stores, std::FILE* out,
                 std::FILE* err) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    write_usage(out);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    write_version(out);
    return 0;
  }
  if (argc < 3) {
    std::fputs("ERROR - no ROM args\n", err);
    return -1;
  }
  const char* image_path = argv[2];
  std::FILE* image = open_image(image_path);
  if (image == nullptr) {
    std::fprintf(err, "ERROR - cannot open ROM: %s\n", image_path);
    return -1;
  }
  if (std::strcmp(argv[1], "CHECK_TABLE") == 0) {
    const bool checked = check_table(kTablePath, image, stores, out);
    std::fclose(image);
    return checked ? 0 : image_unreadable(err, image_path);
  }
  if (std::strcmp(argv[1], "CHECK_SCRIPT") == 0) {
    const ScriptCheck checked = check_script(kTablePath, kScriptPath, image, stores, out);
    std::fclose(image);
    if (checked == ScriptCheck::kImageUnreadable) return image_unreadable(err, image_path);
    if (checked == ScriptCheck::kScriptUnreadable) {
      std::fprintf(err, "ERROR - cannot open %s\n", kScriptPath);
      return 255;
    }
    return checked == ScriptCheck::kAllWell ? 0 : 1;
  }
  if (std::strcmp(argv[1], "DUMP_TEXT") != 0) {
    std::fclose(image);
    return 0;
  }

  load_table(kTablePath, stores.table, out);
  stores.renderings.build(stores.table);
  // The folder `text` must exist: the tool never creates it.
  std::FILE* script = begin_script();
  if (script == nullptr) {
    std::fputs("ERROR - no TEXT dir\n", err);
    std::fclose(image);
    return -1;
  }
  const ScriptOutcome outcome = write_script(script, image, stores, out);
  std::fclose(image);
  if (!finish_script(script, outcome == ScriptOutcome::kWhole)) {
    if (outcome == ScriptOutcome::kImageUnreadable) return image_unreadable(err, image_path);
    std::fprintf(err, "ERROR - cannot write %s\n", kScriptPath);
    return -1;
  }
  return 0;
}
