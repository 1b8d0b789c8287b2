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

TEST(BattleTimeText, AHundredMinutesAndMoreShowEveryMinute) {
  struct Case {
    int64_t ms;
    const char* text;
  };
  const Case cases[] = {
      {100LL * 60 * 1000, "100:00:00"},
      {(123LL * 60 + 45) * 1000 + 670, "123:45:67"},
      {(123LL * 60 + 45) * 1000 + 679, "123:45:67"},  // thousandths are dropped
      // Past 32767 s, where a 16-bit count of seconds would overflow (546 min 7 s).
      {32767LL * 1000, "546:07:00"},
      {32768LL * 1000, "546:08:00"},
      {std::numeric_limits<int32_t>::max(), "35791:23:64"},
      {std::numeric_limits<int64_t>::max(), "153722867280912:55:80"},
  };
  for (const Case& c : cases) EXPECT_EQ(BattleTimeText(c.ms), c.text) << c.ms;
}

TEST(BattleTimeX, StaysAt350UntilTheTextWouldCrossThePanelsRightEdge) {
  // The panel's last column is 439; the shadow is one pixel right of the face.
  EXPECT_EQ(BattleTimeX(0), 350);
  EXPECT_EQ(BattleTimeX(72), 350);  // "123:45:67" at 8 px a digit
  EXPECT_EQ(BattleTimeX(89), 350);  // ends on 439
  EXPECT_EQ(BattleTimeX(90), 349);
  EXPECT_EQ(BattleTimeX(168), 271);  // the longest total of all, 21 characters
  for (int w = 0; w <= 239; ++w) EXPECT_LE(BattleTimeX(w) + w, 439) << w;
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
