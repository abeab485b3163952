#include "rom/mark_map.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "rom/address.h"

namespace {

constexpr std::uint8_t kAllBits = MARK_DUMPED | MARK_FIRST | MARK_TARGET;

TEST(MarkMap, three_bits_on_one_address_are_kept_apart) {
  auto map = std::make_unique<MarkMap>();
  const int at = linear_address(0x12, 0xA004);

  map->set(at, MARK_TARGET);
  EXPECT_TRUE(map->test(at, MARK_TARGET));
  EXPECT_FALSE(map->test(at, MARK_FIRST));
  EXPECT_FALSE(map->test(at, MARK_DUMPED));

  map->set(at, MARK_FIRST);
  EXPECT_TRUE(map->test(at, MARK_TARGET));
  EXPECT_TRUE(map->test(at, MARK_FIRST));
  EXPECT_FALSE(map->test(at, MARK_DUMPED));

  map->set(at, MARK_DUMPED);
  map->set(at, MARK_TARGET);  // setting a bit again changes nothing
  EXPECT_TRUE(map->test(at, MARK_TARGET));
  EXPECT_TRUE(map->test(at, MARK_FIRST));
  EXPECT_TRUE(map->test(at, MARK_DUMPED));
  EXPECT_TRUE(map->test(at, kAllBits));

  EXPECT_FALSE(map->test(at - 1, kAllBits));
  EXPECT_FALSE(map->test(at + 1, kAllBits));
  EXPECT_EQ(map->count_marked(), 1);
}

TEST(MarkMap, only_addresses_below_0x1000000_keep_marks) {
  struct Case {
    int linear;
    bool kept;
  };
  const Case cases[] = {
      {0x000000, true},
      {0xFFFFFF, true},  // bank 0xFF, address 0xFFFF
      {0x1000000, false},
      {0x1000001, false},
      {linear_address(0xFF, 0xFFFF) + 0xFFFF, false},  // the highest a window can reach
      {INT_MAX, false},
      {-1, false},
      {INT_MIN, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << "linear " << c.linear);
    auto map = std::make_unique<MarkMap>();
    map->set(c.linear, kAllBits);
    EXPECT_EQ(map->test(c.linear, MARK_DUMPED), c.kept);
    EXPECT_EQ(map->test(c.linear, MARK_FIRST), c.kept);
    EXPECT_EQ(map->test(c.linear, MARK_TARGET), c.kept);
    // Nothing may land anywhere else, such as a wrapped-around address.
    EXPECT_EQ(map->count_marked(), c.kept ? 1 : 0);
  }
}

TEST(MarkMap, find_next_finds_the_first_mark_of_its_kind_in_range) {
  struct Case {
    int from;
    int end;
    int found;
  };
  const Case cases[] = {
      {0x078000, 0x088000, 0x078041},     // within the second word of the range
      {0x078041, 0x088000, 0x078041},     // a mark at `from` itself
      {0x078042, 0x088000, 0x0780C0},     // past a mark, across an empty word
      {0x0780C1, 0x088000, 0x078A00},     // across 512-address stretches with no mark
      {0x078A01, 0x088000, 0x088000},     // none left: the range's end
      {0x078000, 0x078041, 0x078041},     // a mark at `end` lies outside
      {0x078000, 0x078040, 0x078040},     // end inside a word with a mark after it
      {0xFFFF00, 0x100FF00, 0xFFFFFF},    // the map's last address
      {0x1000000, 0x1010000, 0x1010000},  // wholly above the map
      {-0x100, 0x078050, 0x078041},       // from below the map
  };
  for (const MarkBit kind : {MARK_TARGET, MARK_FIRST, MARK_DUMPED}) {
    auto map = std::make_unique<MarkMap>();
    map->set(0x078010, kAllBits & ~kind);  // the other kinds: never found
    for (int at : {0x078041, 0x0780C0, 0x078A00, 0xFFFFFF}) map->set(at, kind);
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message()
                   << std::hex << "kind " << int{kind} << ", " << c.from << "-" << c.end);
      EXPECT_EQ(map->find_next(c.from, c.end, kind), c.found);
    }
  }
}

}  // namespace
