#include "dump/mark_map.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "rom/address.h"
#include "support/dump_fixture.h"

namespace {

constexpr MarkKind kAllKinds[] = {MARK_DUMPED, MARK_FIRST, MARK_TARGET};

TEST(MarkMap, three_kinds_on_one_address_are_kept_apart) {
  auto map = std::make_unique<MarkMap>();
  const int at = linear_address(0x12, 0xA004);

  map->mark_target(at);
  EXPECT_TRUE(map->is_target(at));
  EXPECT_FALSE(marked(*map, at, MARK_FIRST));
  EXPECT_FALSE(map->was_dumped(at));

  map->mark_first(at);
  EXPECT_TRUE(map->is_target(at));
  EXPECT_TRUE(marked(*map, at, MARK_FIRST));
  EXPECT_FALSE(map->was_dumped(at));

  map->mark_dumped(at);
  map->mark_target(at);  // marking again changes nothing
  EXPECT_TRUE(map->is_target(at));
  EXPECT_TRUE(marked(*map, at, MARK_FIRST));
  EXPECT_TRUE(map->was_dumped(at));

  for (MarkKind kind : kAllKinds) {
    EXPECT_FALSE(marked(*map, at - 1, kind));
    EXPECT_FALSE(marked(*map, at + 1, kind));
  }
  EXPECT_EQ(marked_places(*map), 1);
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
    for (MarkKind kind : kAllKinds) mark(*map, c.linear, kind);
    for (MarkKind kind : kAllKinds) EXPECT_EQ(marked(*map, c.linear, kind), c.kept);
    // Nothing may land anywhere else, such as a wrapped-around address.
    EXPECT_EQ(marked_places(*map), c.kept ? 1 : 0);
  }
}

TEST(MarkMap, next_first_finds_the_first_first_string_mark_in_range) {
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
      {0x078300, 0x088000, 0x078A00},     // from inside a stretch with no mark
      {0x078A01, 0x088000, 0x088000},     // none left: the range's end
      {0x078000, 0x078041, 0x078041},     // a mark at `end` lies outside
      {0x078000, 0x078040, 0x078040},     // end inside a word with a mark after it
      {0xFFFF00, 0x100FF00, 0xFFFFFF},    // the map's last address
      {0x1000000, 0x1010000, 0x1010000},  // wholly above the map
      {-0x100, 0x078050, 0x078041},       // from below the map
  };
  auto map = std::make_unique<MarkMap>();
  map->mark_dumped(0x078010);  // the other kinds: never found
  map->mark_target(0x078010);
  for (int at : {0x078041, 0x0780C0, 0x078A00, 0xFFFFFF}) map->mark_first(at);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.from << "-" << c.end);
    EXPECT_EQ(map->next_first(c.from, c.end), c.found);
  }
}

}  // namespace
