#pragma once

#include "decode/token_renderings.h"
#include "rom/rom_window.h"
#include "script/script_sink.h"
#include "table/token_tally.h"

// Renders the string at the window's cursor into the script, through the renderings made
// from the table, and leaves the cursor just past its end code (0xD0 or 0xFF). A string has
// no length limit of its own: past the window's end every byte reads as 0xFF, which ends it.
void decode_string(RomWindow& window, const TokenRenderings& renderings, ScriptSink& script);
// The same, counting every rendering into `tally`.
void decode_string(RomWindow& window, const TokenRenderings& renderings, ScriptSink& script,
                   TokenTally& tally);
// The same with "//" after each line break, so that every line of the string, not only the
// first, stands as a comment in the script.
void decode_commented_string(RomWindow& window, const TokenRenderings& renderings,
                             ScriptSink& script);
