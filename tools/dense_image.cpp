#include "dense_image.h"

#include <algorithm>
#include <stdexcept>

#include "../tests/support/plan_places.h"
#include "image_parts.h"

namespace {

using namespace image_parts;

constexpr int kImageSize = 0x400000;  // 4 MiB: banks 0x00-0x7F
constexpr int kBanks = kImageSize / 0x8000;

// The file index lies in banks 0x33-0x34; its records follow its entries.
constexpr int kFirstRecord = 0x8240;

// The places the dumper knows without the index, from the list the tests expect.
using documented::kFixedBlocks;
using documented::kRegions;
using documented::Place;

// Indexed blocks go to every bank but those of the fixed blocks and the index window, up to
// three to a bank, each in a slot of its own.
constexpr int kSlotSize = 0x2A00;
constexpr int kSlotsPerBank = 3;
// 279 x 75 strings at density 1: more than 20,000 in all.
constexpr int kStringsPerBlock = 75;

bool is_region_bank(int bank) {
  return std::any_of(kRegions.begin(), kRegions.end(),
                     [bank](const documented::Region& region) { return region.bank == bank; });
}

std::vector<int> index_block_banks() {
  std::vector<int> banks;
  for (int bank = 1; bank < kBanks; ++bank) {
    if (bank != 0x10 && bank != 0x33 && bank != 0x34 && bank != 0x38) banks.push_back(bank);
  }
  return banks;
}

// Room of a fixed block: up to the next fixed block of its bank, or the bank's end.
int fixed_block_room(const Place& block) {
  int end = 0x10000;
  for (const Place& other : kFixedBlocks) {
    if (other.bank == block.bank && other.address > block.address) {
      end = std::min(end, other.address);
    }
  }
  return end - block.address;
}

// xorshift32: the same image on every platform and every run.
class Rng {
 public:
  int below(int n) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<int>(state_ % static_cast<std::uint32_t>(n));
  }
  int between(int low, int high) { return low + below(high - low + 1); }

 private:
  std::uint32_t state_ = 0x2545F491;
};

// One code with its parameter or follow bytes. Mostly plain characters, as in real text,
// with every other byte class mixed in.
Bytes make_token(Rng& rng) {
  const int pick = rng.below(100);
  auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
  if (pick < 75) return {byte(rng.between(0x20, 0x7E))};
  if (pick < 80) return {byte(rng.between(0x00, 0xBE))};
  if (pick < 82) return {0xBF, byte(rng.below(0x100))};
  if (pick < 88) {  // a run: 0xC0-0xC7 take 1-8 bytes of page 1, 0xC8-0xCF of page 2
    const int lead = rng.between(0xC0, 0xCF);
    Bytes run{byte(lead)};
    const int follow = lead <= 0xC7 ? lead - 0xBF : lead - 0xC7;
    for (int i = 0; i < follow; ++i) run.push_back(byte(rng.below(0x100)));
    return run;
  }
  if (pick < 91) return {byte(rng.between(0xD1, 0xEF))};
  if (pick < 94) return {byte(rng.between(0xF0, 0xF3)), byte(rng.below(0x20))};
  if (pick < 97) return {byte(rng.between(0xF4, 0xFD))};
  return {0xFE};
}

// A string of at most `room` bytes (room >= 2), ending with one of the two end codes.
Bytes make_string(Rng& rng, int room) {
  const int length = std::min(room, rng.between(6, 40));
  Bytes text;
  for (;;) {
    const Bytes token = make_token(rng);
    if (static_cast<int>(text.size() + token.size()) + 1 > length) break;
    text.insert(text.end(), token.begin(), token.end());
  }
  text.push_back(rng.below(2) == 0 ? 0xD0 : 0xFF);
  return text;
}

// Offset table, then the strings back to back in table order: `wanted` strings, or as many
// as `room` bytes hold (at least one).
Bytes make_block(Rng& rng, int wanted, int room, int& strings) {
  std::vector<Bytes> texts;
  int text_bytes = 0;
  while (static_cast<int>(texts.size()) < wanted) {
    const int left = room - 2 * static_cast<int>(texts.size() + 1) - text_bytes;
    if (left < 2) break;
    texts.push_back(make_string(rng, left));
    text_bytes += static_cast<int>(texts.back().size());
  }
  if (texts.empty()) throw std::logic_error("a block has no room for a string");
  Bytes block;
  int offset = 2 * static_cast<int>(texts.size());
  for (const Bytes& text : texts) {
    block.push_back(static_cast<std::uint8_t>(offset & 0xFF));
    block.push_back(static_cast<std::uint8_t>(offset >> 8));
    offset += static_cast<int>(text.size());
  }
  for (const Bytes& text : texts) block.insert(block.end(), text.begin(), text.end());
  strings += static_cast<int>(texts.size());
  return block;
}

}  // namespace

DenseImage make_dense_image(int density) {
  DenseImage image;
  Image bytes(kImageSize);
  auto place = [&bytes](int offset, const Bytes& what) {
    if (!bytes.place(offset, what)) throw std::logic_error("the dense layout overlaps");
  };
  Rng rng;
  const int wanted = kStringsPerBlock * density;
  auto add_block = [&](const Place& block, int room) {
    place(image_offset(block.bank, block.address), make_block(rng, wanted, room, image.strings));
    image.window_loads.push_back(image_offset(block.bank, block.address));
    ++image.blocks;
    if (is_region_bank(block.bank)) ++image.region_strings;
  };

  image.window_loads.push_back(index_window);
  const std::vector<int> banks = index_block_banks();
  if (index_entry_count > static_cast<int>(banks.size()) * kSlotsPerBank) {
    throw std::logic_error("not enough slots for the indexed blocks");
  }
  for (int entry = 0; entry < index_entry_count; ++entry) {
    const int slot = entry / static_cast<int>(banks.size());
    const Place block{banks[entry % banks.size()], 0x8000 + slot * kSlotSize};
    add_block(block, kSlotSize);
    const int record_at = kFirstRecord + entry * record_size;
    place(index_window + record_at, record(block.bank, block.address));
    place(index_window + index_first_entry + 2 * entry, le_word(record_at));
  }
  for (const Place& block : kFixedBlocks) add_block(block, fixed_block_room(block));
  for (const documented::Region& region : kRegions)
    image.window_loads.push_back(image_offset(region.bank, 0x8000));

  image.bytes = bytes.bytes();
  return image;
}
