// The rectangle table: computed cuts round as the game rounds, and every
// rectangle lies inside the picture it is cut from.
#include "game/gfx/picture_rects.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <set>
#include <string>

namespace rects = rv::rects;

namespace {
// An independent rounding: the FPU's default mode is to nearest, ties to even.
int NearestEven(double v) {
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
  return static_cast<int>(std::nearbyint(v));
}

TEST(PictureRects, RoundHalfEvenMatchesTheFpuOnHalvesAndNonHalves) {
  for (int num = 0; num <= 400; ++num)
    for (int den : {1, 2, 3, 4, 10})
      EXPECT_EQ(rects::RoundHalfEven(num, den), NearestEven(static_cast<double>(num) / den))
          << num << "/" << den;
}

TEST(PictureRects, DigitCutsFollowTheirFormulas) {
  for (int v = 0; v <= 9; ++v) {
    EXPECT_EQ(rects::kLargeDigit(v).x, NearestEven(25.5 * v + 1)) << v;
    EXPECT_EQ(rects::kSmallDigit(v).x, NearestEven(25.5 * v + 10)) << v;
  }
  for (int d = 0; d <= 8; ++d)
    EXPECT_EQ(rects::kPlaceNumeral(d).x, NearestEven(25.5 * d + 26)) << d;
  // The x lists the screens were designed against.
  const int large[] = {1, 26, 52, 78, 103, 128, 154, 180, 205, 230};
  const int place[] = {26, 52, 77, 102, 128, 154, 179, 204, 230};
  const int small[] = {10, 36, 61, 86, 112, 138, 163, 188, 214, 240};
  for (int v = 0; v <= 9; ++v) EXPECT_EQ(rects::kLargeDigit(v).x, large[v]);
  for (int d = 0; d <= 8; ++d) EXPECT_EQ(rects::kPlaceNumeral(d).x, place[d]);
  for (int v = 0; v <= 9; ++v) EXPECT_EQ(rects::kSmallDigit(v).x, small[v]);
  const int setup[] = {26, 77, 128, 179, 230};
  const int footer[] = {27, 78, 129, 180, 231};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rects::kSetupRoundsDigit(2 * i + 1).x, setup[i]);
    EXPECT_EQ(rects::kRankingRoundsDigit(2 * i + 1).x, footer[i]);
    EXPECT_EQ(rects::kSetupRoundsDigit(2 * i + 1).y, 87);
    EXPECT_EQ(rects::kSetupRoundsDigit(2 * i + 1).h, 30);
  }
}

TEST(PictureRects, MenuAndRoundPiecesStepAsTheScreensExpect) {
  for (int j = 0; j < rects::kMenuItemCount; ++j) {
    EXPECT_EQ(rects::kMenuItemPlain(j).y - rects::kMenuItemSelected(j).y, 87);
    EXPECT_EQ(rects::kMenuItemSelected(j).h, 29);
  }
  EXPECT_EQ(rects::kRoundNumber(1).x, 0);
  EXPECT_EQ(rects::kRoundNumber(9).x, 560);
  EXPECT_LE(rects::kRoundNumber(9).Right(), rects::kRoundWord.x);
  // A roulette window is 224 wide: two edges and eight slices.
  const auto& b = rects::kRouletteUpperBand;
  EXPECT_EQ(b.left.w + rects::kWindowMiddleSlices * b.middle.w + b.right.w, 224);
  EXPECT_EQ(rects::kRouletteUpperBand.left.h + rects::kRouletteLowerBand.left.h, 128);
  EXPECT_EQ(rects::kBannerTopBand.left.h + rects::kBannerBottomBand.left.h, 32);
}

TEST(PictureRects, EveryRectangleLiesInsideItsPicture) {
  for (const rects::NamedRect& nr : rects::kAllRects) {
    const rects::PictureFile& f = rects::FileOf(nr.rect.picture);
    SCOPED_TRACE(std::string(nr.name) + " " + std::to_string(nr.index));
    EXPECT_GT(nr.rect.w, 0);
    EXPECT_GT(nr.rect.h, 0);
    EXPECT_GE(nr.rect.x, 0);
    EXPECT_GE(nr.rect.y, 0);
    EXPECT_LE(nr.rect.Right(), f.width);
    EXPECT_LE(nr.rect.Bottom(), f.height);
  }
}

TEST(PictureRects, TheListNamesEachEntryOnceAndCoversEveryPicture) {
  std::set<std::pair<std::string, int>> seen;
  std::set<rects::Picture> pictures;
  for (const rects::NamedRect& nr : rects::kAllRects) {
    EXPECT_TRUE(seen.insert({nr.name, nr.index}).second) << nr.name << " " << nr.index;
    pictures.insert(nr.rect.picture);
  }
  EXPECT_EQ(pictures.size(), static_cast<std::size_t>(rects::kPictureCount));
  for (int i = 0; i < rects::kPictureCount; ++i)
    EXPECT_EQ(static_cast<int>(rects::kPictureFiles[i].surface), i)
        << "table order is the surface number";
}

}  // namespace
