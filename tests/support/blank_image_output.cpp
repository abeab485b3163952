#include "support/blank_image_output.h"

#include <cstdio>
#include <vector>

#include "support/expected_text.h"

namespace {

std::string format(const char* pattern, int a, int b = 0) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

}  // namespace

BlankImageOutput blank_image_output(bool index_names_sentinel_block) {
  std::vector<documented::Place> blocks;
  if (index_names_sentinel_block) blocks.push_back({0xFF, 0xFFFF});
  blocks.insert(blocks.end(), documented::kFixedBlocks.begin(), documented::kFixedBlocks.end());

  std::string script = kHeader;
  std::string console;
  for (const documented::Place& block : blocks) {
    const int start = block.bank * 0x10000 + block.address;
    const int end = start + 0x10000;  // the offset table runs to the window's end
    script += format("\n//[FILE] %06X-%06X [0]", start, end) + "\n" + kSlashes + "\n\n\n";
    console += format("\n[DUMP_LAYER2] FAIL-SAFE (missed @ %06X)", end);
    console += format("\n[FILE] %06X-%06X [0]", start, end);
  }
  for (const documented::Region& region : documented::kRegions) script += region_opening(region);
  return {crlf(script), console};
}
