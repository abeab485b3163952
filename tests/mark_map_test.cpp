#include "rom/mark_map.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "rom/address.h"

namespace {

constexpr std::uint8_t kAllBits = MARK_DUMPED | MARK_FIRST | MARK_TARGET;

int marked_bytes(const MarkMap& map) {
  int count = 0;
  for (std::uint8_t mark : map.marks) count += mark != 0;
  return count;
}

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
  EXPECT_EQ(map->marks[static_cast<std::size_t>(at)], kAllBits);

  EXPECT_FALSE(map->test(at - 1, kAllBits));
  EXPECT_FALSE(map->test(at + 1, kAllBits));
  EXPECT_EQ(marked_bytes(*map), 1);
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
    EXPECT_EQ(marked_bytes(*map), c.kept ? 1 : 0);
  }
}

}  // namespace
