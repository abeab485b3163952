#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "support/plan_places.h"

// Pieces of the script that many tests expect, written out by hand rather than taken from
// the tool, so a change to the tool's copy shows.

// The line of 58 slashes that closes a block section and opens a region section.
inline const std::string kSlashes(58, '/');

// The script header with plain line feeds.
inline const std::string kHeader =
    "#VAR(Table, TABLE)\n#ADDTBL(\"quillbox_table.txt\", Table)\n#ACTIVETBL(Table)\n\n"
    "#SMA(\"LOROM00\")\n\n#VAR(MyPtr, CUSTOMPOINTER)\n#VAR(PtrTable, POINTERTABLE)\n\n"
    "#CREATEPTR(MyPtr, \"LOROM00\", $0, 24)\n#PTRTBL(PtrTable, $200000, 3, MyPtr)\n\n"
    "//---------------------------------------------------------\n"
    "//---------------------------------------------------------\n"
    "\n#SETINDEX($0000,1)\n\n#JMP($208000)\n\n";

// The lines that open a region's section, with plain line feeds.
inline std::string region_opening(const documented::Region& region) {
  char jump[32];
  std::snprintf(jump, sizeof jump, "#JMP($%X,$%X)", region.free_start, region.free_end);
  return "\n" + kSlashes + "\n//\n" + jump + "\n";
}

// `text` as the script stores it: every line feed as CR LF.
inline std::string crlf(std::string_view text) {
  std::string bytes;
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

// The script's bytes with every CR dropped, so that expectations read with line feeds alone.
inline std::string lf_only(std::string_view bytes) {
  std::string text;
  for (char c : bytes)
    if (c != '\r') text += c;
  return text;
}

// The script's line ends are CR LF, and table text never holds a CR or LF: so every LF
// follows a CR and every CR comes before an LF.
inline bool line_ends_are_cr_lf(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
    if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
  }
  return true;
}
