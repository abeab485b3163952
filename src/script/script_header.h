#pragma once

#include "script/script_sink.h"

// Opens the script: the inserter's table, its pointer kinds and table, and where
// re-inserted text starts.
void write_script_header(ScriptSink& script);
