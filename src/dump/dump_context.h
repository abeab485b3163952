#pragma once

#include <cstdio>

#include "decode/string_decoder.h"  // and the window, the renderings and the sink
#include "dump/mark_map.h"
#include "dump/string_receiver.h"

class StringCapture;

// Everything a dump pass works with. The stores are single instances for the whole run;
// the passes share the one window, so each finishes with it before the next reloads it.
struct DumpContext {
  std::FILE* image;  // read through `window` only
  RomWindow& window;
  MarkMap& marks;
  const TokenRenderings& renderings;  // the table's text for every code a string holds
  ScriptSink& script;
  std::FILE* console;  // progress lines and warnings; null: none are written
  // Null for a dump, whose strings go to `script` as they are decoded. A walk for a
  // receiver (dump/string_walk.h) decodes each into memory instead and hands it over.
  StringCapture* capture = nullptr;
  int blocks = 0;                 // block sections written: one per progress line
  bool wrote_to_console = false;  // set once a line went to `console`
};

// Decodes the string at the window's cursor, which it leaves just past the string's end
// code, as the dump writes it: at linear address `linear` and image offset `offset`, its
// pointer at offset table entry `entry` (-1 for a region's string: WalkedString::entry).
void decode_string_at(DumpContext& ctx, StringKind kind, int linear, int offset, int entry);
