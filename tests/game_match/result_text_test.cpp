// The texts and widths of the results, computed without a screen.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "game/match/match_results.h"

namespace rv {
namespace {

TEST(BattleTimeText, MinutesSecondsAndHundredthsOfTwoDigitsEach) {
  EXPECT_EQ(BattleTimeText(83456), "01:23:45");
  EXPECT_EQ(BattleTimeText(59999), "00:59:99");
  EXPECT_EQ(BattleTimeText(0), "00:00:00");
  EXPECT_EQ(BattleTimeText(9), "00:00:00");  // below one hundredth
  EXPECT_EQ(BattleTimeText(60000), "01:00:00");
  // The last value of two-digit minutes.
  EXPECT_EQ(BattleTimeText((99 * 60 + 59) * 1000 + 999), "99:59:99");
}

TEST(BattleTimeText, TotalsPastTheFieldsShowTheLargestValueThatFits) {
  // 100 minutes would need a third minute digit.
  EXPECT_EQ(BattleTimeText(100 * 60 * 1000), "99:59:99");
  // Past 32767 s, where a 16-bit count of seconds would overflow.
  EXPECT_EQ(BattleTimeText(32768LL * 1000), "99:59:99");
  EXPECT_EQ(BattleTimeText(std::numeric_limits<int32_t>::max()), "99:59:99");
  EXPECT_EQ(BattleTimeText(std::numeric_limits<int64_t>::max()), "99:59:99");
}

TEST(BattleTimeText, NegativeTotalsShowAsZero) {
  EXPECT_EQ(BattleTimeText(-1), "00:00:00");
  EXPECT_EQ(BattleTimeText(std::numeric_limits<int64_t>::min()), "00:00:00");
}

TEST(FullWidthDigits, EachDigitBecomesItsFullWidthForm) {
  EXPECT_EQ(FullWidthDigits(3), "３");
  EXPECT_EQ(FullWidthDigits(1), "１");
  EXPECT_EQ(FullWidthDigits(9), "９");
  EXPECT_EQ(FullWidthDigits(10), "１０");
  EXPECT_EQ(FullWidthDigits(0), "０");
}

TEST(PanelWidthAt, GrowsAt400PixelsPerSecondUpToTheFullPanel) {
  EXPECT_EQ(PanelWidthAt(-50), 0);
  EXPECT_EQ(PanelWidthAt(0), 0);
  EXPECT_EQ(PanelWidthAt(1), 0);  // 0.4 px
  EXPECT_EQ(PanelWidthAt(2), 1);  // 0.8 px
  EXPECT_EQ(PanelWidthAt(100), 40);
  EXPECT_EQ(PanelWidthAt(599), 240);  // 239.6 px
  EXPECT_EQ(PanelWidthAt(600), kPanelWidth);
  EXPECT_EQ(PanelWidthAt(1000000), kPanelWidth);
  int previous = 0;
  for (int32_t ms = 0; ms <= 700; ++ms) {
    const int w = PanelWidthAt(ms);
    ASSERT_GE(w, previous) << ms;
    ASSERT_LE(w - previous, 1) << ms;  // 0.4 px per ms never jumps two columns
    previous = w;
  }
}

}  // namespace
}  // namespace rv
