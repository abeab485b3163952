#pragma once

#include <string>

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

// `text` as the script stores it: every line feed as CR LF.
inline std::string crlf(const std::string& text) {
  std::string bytes;
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}
