#pragma once

#include "decode/commented_renderings.h"
#include "decode/counted_renderings.h"
#include "decode/script_sink.h"
#include "decode/token_renderings.h"
#include "rom/rom_window.h"

// Renders the string at the window's cursor into the script, through the renderings made
// from the table, and leaves the cursor just past its end code (0xD0 or 0xFF). A string has
// no length limit of its own: past the window's end every byte reads as 0xFF, which ends it.
void decode_string(RomWindow& window, const TokenRenderings& renderings, ScriptSink& script);
// The same, counting every rendering into the tally that `renderings` carries.
void decode_string(RomWindow& window, const CountedRenderings& renderings, ScriptSink& script);
// The same, with every line after the first starting as a comment.
void decode_string(RomWindow& window, const CommentedRenderings& renderings, ScriptSink& script);
