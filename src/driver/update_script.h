#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "driver/run.h"
#include "script/script_sink.h"
#include "script_check/report.h"

enum class ScriptUpdate {
  kPaired,            // the script's strings all pair with the image's
  kParted,            // the report says where the script and the image part
  kCannotReplace,     // the script cannot be replaced: script_refusal() says why
  kScriptUnreadable,  // no script to read
  kScriptReadFailed,  // a read of the script failed after it began
  kImageUnreadable,
  kNotWritten,  // the new script could not be written or put in place
};

// `textdump UPDATE_TEXT <rom image>` once the image is open and the table read into
// `stores`: renders anew each string of the script that is still the image's own text
// (ScriptUpdater says which) and, if one was, replaces the script as DUMP_TEXT does, the old
// one becoming the backup. The script lock is held from before the script is read until the
// new one is in place. The report (the pairing's line, if any, and the summary) goes to
// `report`, for the console once the run has succeeded. After any other outcome than kPaired
// and kParted no file was changed.
ScriptUpdate update_script(std::FILE* image, DumpStores& stores, std::string& report);

// What UPDATE_TEXT makes of `script`, with its `original` if there is one (ScriptUpdater
// says what), written to `out`: writes today's dump into `today`, then walks the dump plan over
// `image` again.
struct UpdateWalk {
  bool image_read;  // false: the walk stopped at a failed read
  bool changed;     // a string or section was rendered anew
  bool parted;      // the script and the image parted: the report says where
};
UpdateWalk walk_update(std::FILE* image, DumpStores& stores, std::string_view script,
                       const std::optional<std::string>& original, std::string& today,
                       Report& report, ScriptSink& out);
