// The segments' map of the thumbnail store, checked against a plain map.
#include "library/SegmentIdMap.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <random>

namespace {

// The segments' map keeps whatever IDs and values it is given, however its
// vector grows past IDs it held in its hash: it is checked against a plain
// map after every change of a long random walk.
TEST(SegmentIdMapTest, EveryIdAndValueReadsBackAsAPlainMapHoldsIt) {
  SegmentIdMap map;
  std::map<int32_t, int32_t> expected;
  std::mt19937 random(7);
  // Dense IDs mostly, some far beyond the rest (held in the hash until the
  // vector reaches them), negative ones, the extremes, and the value the
  // vector marks its free places with.
  const auto id = [&random]() -> int32_t {
    switch (random() % 10) {
      case 0:
        return 9000 + static_cast<int32_t>(random() % 20000);
      case 1:
        return -static_cast<int32_t>(random() % 50);
      case 2:
        return random() % 2 ? INT32_MAX : INT32_MIN;
      default:
        return static_cast<int32_t>(random() % 12000);
    }
  };
  for (int step = 0; step < 40000; ++step) {
    const int32_t key = id();
    if (random() % 4 == 0) {
      EXPECT_EQ(map.Remove(key), expected.erase(key) == 1);
    } else {
      const int32_t value = random() % 16 == 0 ? INT32_MIN : static_cast<int32_t>(random() % 100000);
      map.Insert(key, value);
      expected[key] = value;
    }
    ASSERT_EQ(map.Size(), static_cast<int>(expected.size())) << "step " << step;
    const std::optional<int32_t> found = map.Find(key);
    const auto there = expected.find(key);
    ASSERT_EQ(found.has_value(), there != expected.end()) << "step " << step << " id " << key;
    if (found) {
      ASSERT_EQ(*found, there->second) << "step " << step << " id " << key;
    }
  }
  for (const auto& [key, value] : expected) {
    ASSERT_TRUE(map.Contains(key)) << key;
    EXPECT_EQ(*map.Find(key), value) << key;
  }
  EXPECT_FALSE(map.Contains(12345678));
  map.Clear();
  EXPECT_EQ(map.Size(), 0);
  EXPECT_FALSE(map.Contains(1));
}

}  // namespace
