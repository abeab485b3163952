#pragma once

#include <cstdio>

#include "decode/script_sink.h"
#include "decode/token_renderings.h"
#include "rom/mark_map.h"
#include "rom/rom_window.h"

// Everything a dump pass works with. The stores are single instances for the whole run;
// the passes share the one window, so each finishes with it before the next reloads it.
struct DumpContext {
  std::FILE* image;  // read through `window` only
  RomWindow& window;
  MarkMap& marks;
  const TokenRenderings& renderings;  // the table's text for every code a string holds
  ScriptSink& script;
  std::FILE* console;  // progress lines and warnings
};
