#include "dump/dump_plan.h"

#include <array>

#include "dump/block_dump.h"
#include "dump/plan_tables.h"
#include "dump/region_dump.h"

namespace {

using FileIndex = std::array<BlockAt, kIndexEntries>;

// Each block dump sets at most one dumped and one first mark.
static_assert(kIndexEntries + kFixedBlocks.size() <= MarkMap::kBlockMarks);

// The index window is reloaded by the first block dump, so the whole index is read first.
// A pointer field that runs past the window reads as address 0xFFFF, bank 0xFF.
bool read_file_index(DumpContext& ctx, FileIndex& index) {
  RomWindow& window = ctx.window;
  if (!load_window(window, ctx.image, kIndexWindowOffset)) return false;
  window.cursor = kIndexStart;
  for (BlockAt& entry : index) {
    const int record = read_word(window);
    const int next = window.cursor;
    window.cursor = record + kRecordPointer;
    entry.address = read_word(window);
    entry.bank = read_byte(window);
    window.cursor = next;
  }
  return true;
}

}  // namespace

bool run_dump_plan(DumpContext& ctx) {
  FileIndex index;
  if (!read_file_index(ctx, index)) return false;
  for (int j = 0; j < kIndexEntries; ++j) {
    const BlockAt& entry = index[j];
    const bool named = entry.bank != 0 || entry.address != 0;
    if (named && !dump_layer2(ctx, entry.bank, entry.address, j)) return false;
  }
  for (const BlockAt& block : kFixedBlocks) {
    if (!dump_layer2(ctx, block.bank, block.address, 0)) return false;
  }
  for (const Region& region : kRegions) {
    if (!dump_region(ctx, region.bank, 0x8000, region.free_start, region.free_end)) return false;
  }
  return true;
}
