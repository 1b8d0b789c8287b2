// The clamps and digit splitting behind the ranking screen's numbers.
#include "game/ranking/display_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace rv {
namespace {

// The value the digits stand for, units first.
int64_t Rebuild(const DigitBuffer& b) {
  int64_t v = 0;
  for (int k = b.count - 1; k >= 0; --k) v = v * 10 + b.digit[static_cast<size_t>(k)];
  return v;
}

TEST(ShownScore, KeepsSixDigitScoresAndClampsTheRest) {
  EXPECT_EQ(ShownScore(7), 7);
  EXPECT_EQ(ShownScore(416250), 416250);
  EXPECT_EQ(ShownScore(999999), 999999);
  EXPECT_EQ(ShownScore(1000000), 999999);
  EXPECT_EQ(ShownScore(std::numeric_limits<int32_t>::max()), 999999);
  EXPECT_EQ(ShownScore(-1), 0);
  EXPECT_EQ(ShownScore(std::numeric_limits<int32_t>::min()), 0);
}

TEST(ShownMoves, RoundsHalvesToEvenThenClampsToFiveDigits) {
  EXPECT_EQ(ShownMoves(10.0), 10);
  EXPECT_EQ(ShownMoves(2.5), 2);
  EXPECT_EQ(ShownMoves(3.5), 4);
  EXPECT_EQ(ShownMoves(12.4999), 12);
  // Wider than 16 bits, still five digits: shown as it is.
  EXPECT_EQ(ShownMoves(40000.0), 40000);
  EXPECT_EQ(ShownMoves(99999.0), 99999);
  EXPECT_EQ(ShownMoves(99999.5), 99999);
  EXPECT_EQ(ShownMoves(1e300), 99999);
  EXPECT_EQ(ShownMoves(-0.4), 0);
  EXPECT_EQ(ShownMoves(-3.0), 0);
  EXPECT_EQ(ShownMoves(-1e300), 0);
}

TEST(ShownMoves, NaNAndInfinitiesNeverReachTheConversion) {
  EXPECT_EQ(ShownMoves(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(ShownMoves(-std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(ShownMoves(std::numeric_limits<double>::infinity()), 99999);
  EXPECT_EQ(ShownMoves(-std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(ShownMoves(std::numeric_limits<double>::denorm_min()), 0);
}

TEST(ShownTime, ClampsToNinetyNineMinutes) {
  const int32_t longest = ((99 * 60) + 59) * 100 + 99;
  EXPECT_EQ(ShownTime(6000), 6000);
  EXPECT_EQ(ShownTime(longest), longest);
  EXPECT_EQ(ShownTime(longest + 1), longest);
  EXPECT_EQ(ShownTime(std::numeric_limits<int32_t>::max()), longest);
  EXPECT_EQ(ShownTime(-1), 0);
  EXPECT_EQ(ShownTime(std::numeric_limits<int32_t>::min()), 0);
}

TEST(SplitDigits, GivesTheDecimalTextUnitsFirst) {
  const DigitBuffer b = SplitDigits(123456, kScorePlaces);
  ASSERT_EQ(b.count, 6);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(b.digit[static_cast<size_t>(k)], 6 - k) << k;

  const DigitBuffer zero = SplitDigits(0, kMovePlaces);
  EXPECT_EQ(zero.count, 1);
  EXPECT_EQ(zero.digit[0], 0);

  // Every length and a spread of values: the count is the length of the decimal text and
  // the digits give the value back.
  for (int32_t v : {1, 7, 9, 10, 99, 100, 1000, 40001, 99999, 100000, 523609, 999999}) {
    const DigitBuffer d = SplitDigits(v, kScorePlaces);
    EXPECT_EQ(d.count, static_cast<int>(std::to_string(v).size())) << v;
    EXPECT_EQ(Rebuild(d), v);
  }
}

TEST(SplitDigits, NeverLeavesItsPlacesOrTheGlyphRange) {
  for (int32_t v : {-1, -999999, std::numeric_limits<int32_t>::min(), 1000000,
                    std::numeric_limits<int32_t>::max()}) {
    for (int places : {kMovePlaces, kScorePlaces}) {
      const DigitBuffer d = SplitDigits(v, places);
      ASSERT_GE(d.count, 1);
      ASSERT_LE(d.count, places);
      for (int k = 0; k < d.count; ++k) {
        EXPECT_GE(d.digit[static_cast<size_t>(k)], 0);
        EXPECT_LE(d.digit[static_cast<size_t>(k)], 9);
      }
      EXPECT_EQ(Rebuild(d), v < 0 ? 0 : static_cast<int64_t>(std::pow(10, places)) - 1);
    }
  }
  // Places outside 1..6 are brought into range rather than overrunning the buffer.
  EXPECT_EQ(SplitDigits(123456789, 9).count, kScorePlaces);
  EXPECT_EQ(Rebuild(SplitDigits(55, 0)), 9);
}

TEST(TimeGlyphs, MinutesSecondsHundredthsWithTwoSeparators) {
  using A = std::array<int16_t, kTimeGlyphCount>;
  const int16_t s = kTimeSeparatorGlyph;
  EXPECT_EQ(TimeGlyphs(6000), (A{0, 1, s, 0, 0, s, 0, 0}));
  EXPECT_EQ(TimeGlyphs(0), (A{0, 0, s, 0, 0, s, 0, 0}));
  // 1234.56 s = 20 min 34.56 s.
  EXPECT_EQ(TimeGlyphs(123456), (A{2, 0, s, 3, 4, s, 5, 6}));
  EXPECT_EQ(TimeGlyphs(599999), (A{9, 9, s, 5, 9, s, 9, 9}));
  EXPECT_EQ(TimeGlyphs(600000), (A{9, 9, s, 5, 9, s, 9, 9}));
  EXPECT_EQ(TimeGlyphs(std::numeric_limits<int32_t>::max()), (A{9, 9, s, 5, 9, s, 9, 9}));
  EXPECT_EQ(TimeGlyphs(-6000), (A{0, 0, s, 0, 0, s, 0, 0}));
}

TEST(TimeGlyphs, EveryTimeInRangeReadsBack) {
  for (int32_t t = 0; t <= 599999; t += 997) {
    const auto g = TimeGlyphs(t);
    ASSERT_EQ(g[2], kTimeSeparatorGlyph);
    ASSERT_EQ(g[5], kTimeSeparatorGlyph);
    for (int k : {0, 1, 3, 4, 6, 7}) ASSERT_LE(g[static_cast<size_t>(k)], 9);
    ASSERT_LE(g[3], 5) << "seconds tens";
    const int32_t back = ((g[0] * 10 + g[1]) * 60 + g[3] * 10 + g[4]) * 100 + g[6] * 10 + g[7];
    ASSERT_EQ(back, t);
  }
}

}  // namespace
}  // namespace rv
