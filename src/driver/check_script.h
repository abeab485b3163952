#pragma once

#include <cstdio>

#include "driver/console.h"
#include "driver/run.h"

enum class ScriptCheck {
  kAllWell,           // every string as dumped and given back, or edited and encodable
  kFound,             // something to look at: the report says what
  kScriptUnreadable,  // it cannot be opened, or its first read failed
  kScriptReadFailed,  // a later read failed: the check stopped there
  kImageUnreadable,   // checked as far as the image could be read
};

// `textdump CHECK_SCRIPT <rom image>` once the image is open and the table read into `stores`
// as DUMP_TEXT reads it: walks the dump plan over `image` and checks each string the script
// at `script_path` gives the inserter against the image's, and the blocks' first strings
// written there as comments, reporting on the console's standard output as it goes
// (ScriptChecker says what). The script is read twice at once, once for each. No file is
// written.
ScriptCheck check_script(const char* script_path, std::FILE* image, DumpStores& stores,
                         Console& console);
