#include "support/blank_image_output.h"

#include <cstdio>
#include <vector>

namespace {

struct Block {
  int bank;
  int address;
};

struct Region {
  int bank;
  int free_start;
  int free_end;
};

// The tool's fixed block and region lists, written out again here so that a mistake in
// the tool's own copy shows.
const std::vector<Block> kFixedBlocks = {
    {0x00, 0xC373}, {0x00, 0xCC11}, {0x00, 0xE50F}, {0x00, 0xE921}, {0x00, 0xE92D},
    {0x00, 0xE939}, {0x00, 0xE945}, {0x00, 0xE951}, {0x00, 0xE969}, {0x00, 0xE975},
    {0x00, 0xE981}, {0x00, 0xE98D}, {0x00, 0xE999}, {0x00, 0xE9A5}, {0x00, 0xE9B1},
    {0x00, 0xE9BD}, {0x00, 0xE9C9}, {0x00, 0xE9D5}, {0x00, 0xE9E1}, {0x00, 0xE9ED},
    {0x00, 0xE9F9}, {0x00, 0xEA05}, {0x10, 0xA000}, {0x10, 0xB2CA}, {0x38, 0x90D2},
};

const std::vector<Region> kRegions = {
    {0x00, 0x583D, 0x650E},     {0x07, 0x3944F, 0x39656},   {0x10, 0x85BAA, 0x86521},
    {0x1C, 0xE4B50, 0xE516E},   {0x30, 0x184DE8, 0x185602}, {0x35, 0x1A807C, 0x1A8839},
    {0x38, 0x1C1170, 0x1C1A79}, {0x3B, 0x1DA36A, 0x1DB56D},
};

std::string format(const char* pattern, int a, int b = 0) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

std::string with_crlf(const std::string& text) {
  std::string bytes;
  for (char c : text) bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return bytes;
}

}  // namespace

BlankImageOutput blank_image_output(bool index_names_sentinel_block) {
  std::vector<Block> blocks;
  if (index_names_sentinel_block) blocks.push_back({0xFF, 0xFFFF});
  blocks.insert(blocks.end(), kFixedBlocks.begin(), kFixedBlocks.end());

  std::string script =
      "#VAR(Table, TABLE)\n#ADDTBL(\"quillbox_table.txt\", Table)\n#ACTIVETBL(Table)\n\n"
      "#SMA(\"LOROM00\")\n\n#VAR(MyPtr, CUSTOMPOINTER)\n#VAR(PtrTable, POINTERTABLE)\n\n"
      "#CREATEPTR(MyPtr, \"LOROM00\", $0, 24)\n#PTRTBL(PtrTable, $200000, 3, MyPtr)\n\n"
      "//---------------------------------------------------------\n"
      "//---------------------------------------------------------\n\n"
      "#SETINDEX($0000,1)\n\n#JMP($208000)\n\n";
  std::string console;
  const std::string slashes(58, '/');
  for (const Block& block : blocks) {
    const int start = block.bank * 0x10000 + block.address;
    const int end = start + 0x10000;  // the offset table runs to the window's end
    script += format("\n//[FILE] %06X-%06X [0]", start, end) + "\n" + slashes + "\n\n\n";
    console += format("\n[DUMP_LAYER2] FAIL-SAFE (missed @ %06X)", end);
    console += format("\n[FILE] %06X-%06X [0]", start, end);
  }
  for (const Region& region : kRegions)
    script += "\n" + slashes + "\n//" +
              format("\n#JMP($%X,$%X)", region.free_start, region.free_end) + "\n";
  return {with_crlf(script), console};
}
