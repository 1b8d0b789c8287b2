#include "game/cpu/random_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "fake_random.h"

namespace rv {
namespace {

constexpr float kLargestBelowOne = 0x1.fffffep-1f;

TEST(RandomRangeTest, EndsOfTheUnitIntervalMapToTheEndsOfTheRange) {
  test::ScriptedRandom zero({0.0f});
  EXPECT_EQ(RandomRange(zero, 0, 39), 0);
  EXPECT_EQ(RandomRange(zero, 1, 2), 1);
  for (int hi = 1; hi < 2000; hi += 7) {
    test::ScriptedRandom top({kLargestBelowOne});
    EXPECT_EQ(RandomRange(top, 0, static_cast<int16_t>(hi)), hi) << "hi " << hi;
  }
  test::ScriptedRandom top({kLargestBelowOne});
  EXPECT_EQ(RandomRange(top, -32768, 32767), 32767);
}

TEST(RandomRangeTest, ABrokenSourceCannotLeaveTheRange) {
  test::ScriptedRandom one({1.0f});
  EXPECT_EQ(RandomRange(one, 3, 9), 9);
  test::ScriptedRandom negative({-0.5f});
  EXPECT_EQ(RandomRange(negative, 3, 9), 3);
  test::ScriptedRandom nan({std::numeric_limits<float>::quiet_NaN()});
  EXPECT_EQ(RandomRange(nan, 3, 9), 3);
  test::ScriptedRandom any({0.7f});
  EXPECT_EQ(RandomRange(any, 5, 5), 5);
}

TEST(RandomRangeTest, FloorOfScaledValuePlusLo) {
  // floor(40 * 0.5) + 0 = 20, floor(2 * 0.49) + 1 = 1, floor(2 * 0.5) + 1 = 2.
  test::ScriptedRandom values({0.5f, 0.49f, 0.5f});
  EXPECT_EQ(RandomRange(values, 0, 39), 20);
  EXPECT_EQ(RandomRange(values, 1, 2), 1);
  EXPECT_EQ(RandomRange(values, 1, 2), 2);
}

TEST(SeededRandomTest, UnitValuesStayBelowOneAndCoverTheRangeEvenly) {
  EXPECT_LT(UnitFromBits(~0ULL), 1.0f);
  EXPECT_EQ(UnitFromBits(0), 0.0f);
  SeededRandom rng(42);
  std::vector<int> counts(40, 0);
  const int draws = 40000;
  for (int i = 0; i < draws; ++i) {
    const float u = rng.NextUnit();
    ASSERT_GE(u, 0.0f);
    ASSERT_LT(u, 1.0f);
    ++counts[static_cast<int>(40 * u)];
  }
  for (int c : counts) {
    EXPECT_GT(c, 800);
    EXPECT_LT(c, 1200);
  }
}

TEST(SeededRandomTest, SameSeedSameSequenceAndReseedMovesOn) {
  SeededRandom a(5), b(5), c(6);
  for (int i = 0; i < 10; ++i) {
    a.Reseed();
    b.Reseed();
    EXPECT_EQ(a.NextUnit(), b.NextUnit());
  }
  EXPECT_NE(SeededRandom(5).NextUnit(), c.NextUnit());
}

TEST(EntropyRandomTest, ReseedingFromAStoppedClockStillGivesNewDraws) {
  // Within one clock tick the entropy does not change; the draws must.
  EntropyRandom rng([] { return uint64_t{1234}; });
  std::vector<float> seen;
  for (int i = 0; i < 50; ++i) {
    rng.Reseed();
    seen.push_back(rng.NextUnit());
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
}

}  // namespace
}  // namespace rv
