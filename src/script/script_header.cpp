#include "script/script_header.h"

namespace {

// One piece a row. The inserter's own table file is named here, not the dump table. Its
// pointer table lies at image offset 0x200000 with 3-byte 24-bit LoROM entries, and
// re-inserted text starts at image offset 0x208000.
constexpr const char* kHeader[] = {
    "#VAR(Table, TABLE)\n",
    "#ADDTBL(\"quillbox_table.txt\", Table)\n",
    "#ACTIVETBL(Table)\n",
    "\n",
    "#SMA(\"LOROM00\")\n",
    "\n",
    "#VAR(MyPtr, CUSTOMPOINTER)\n",
    "#VAR(PtrTable, POINTERTABLE)\n",
    "\n",
    "#CREATEPTR(MyPtr, \"LOROM00\", $0, 24)\n",
    "#PTRTBL(PtrTable, $200000, 3, MyPtr)\n",
    "\n",
    "//---------------------------------------------------------\n",
    "//---------------------------------------------------------\n",
    "\n",
    "#SETINDEX($0000,1)\n",
    "\n",
    "#JMP($208000)\n",
    "\n",
};
static_assert(std::size(kHeader) == 19);

}  // namespace

void write_script_header(ScriptSink& script) {
  for (const char* piece : kHeader) script.write(piece);
}
