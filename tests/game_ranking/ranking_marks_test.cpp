// The pulsing marks: which ones stand where for each list, how they are blended, and the
// level that drives them.
#include "game/ranking/ranking_marks.h"

#include <cstdlib>

#include "game/gfx/blit.h"
#include "game/ranking/ranking_screen.h"
#include "ranking_fixture.h"

namespace rv::test {
namespace {

// The length marks at x = 30 cover the last ten columns of the left corner marks (they
// are drawn after them), so only the first 30 columns of those are the corner mark's own.
constexpr rects::Rect kLeftPiece{rects::Picture::kOther, 195, 220, 30, 40};
constexpr rects::Rect kRightPiece{rects::Picture::kOther, 195, 260, 40, 40};
constexpr rects::Rect kUpPiece{rects::Picture::kOther, 0, 340, 38, 35};
constexpr rects::Rect kDownPiece{rects::Picture::kOther, 40, 340, 38, 40};

struct Spot {
  int x;
  int y;
  rects::Rect piece;
};
// Left corners, right corners, top marks, bottom marks.
constexpr Spot kLeftSpots[2] = {{0, 0, kLeftPiece}, {0, 440, kLeftPiece}};
constexpr Spot kRightSpots[2] = {{605, 5, kRightPiece}, {605, 445, kRightPiece}};
constexpr Spot kUpSpots[2] = {{30, 8, kUpPiece}, {565, 8, kUpPiece}};
constexpr Spot kDownSpots[2] = {{30, 448, kDownPiece}, {565, 448, kDownPiece}};

// The overlay level of tick n counted from a level of 0: up in tens to 250, then a
// triangle 245 ... 5, 5 ... 255 of 51 ticks.
int ExpectedAlpha(int n) {
  if (n <= 25) return 10 * n;
  const int phase = (n - 26) % 51;
  return phase < 25 ? 245 - 10 * phase : 5 + 10 * (phase - 25);
}

class RankingMarks : public RankingFixture {
 protected:
  Surface screen_{640, 480};

  void Draw(int16_t mode, int16_t rounds, int32_t alpha) {
    screen_.PaintAll(0);
    RankingScreenState shown;
    shown.RankShownMode = mode;
    shown.RankShownRounds = rounds;
    DrawRankingMarks(screen_, Pictures(), shown, alpha * 65536);
  }
  void ExpectSpots(const Spot (&spots)[2], bool present) {
    for (const Spot& s : spots) {
      if (present) {
        EXPECT_TRUE(SurfaceShows(screen_, s.x, s.y, Other(), s.piece)) << s.x << "," << s.y;
      } else {
        EXPECT_TRUE(SurfaceBlack(screen_, s.x, s.y, s.piece.w, s.piece.h)) << s.x << "," << s.y;
      }
    }
  }
};

TEST(BlinkLevel, RisesThenPulsesWithAPeriodOfFiftyOneTicks) {
  int16_t level = 0;
  for (int n = 0; n < 400; ++n) {
    ASSERT_EQ(std::abs(level), ExpectedAlpha(n)) << "tick " << n;
    ASSERT_LE(std::abs(level), 255);
    level = NextBlinkLevel(level);
  }
  // The turn at the bottom shows 5 twice, the top 255 once.
  EXPECT_EQ(ExpectedAlpha(50), 5);
  EXPECT_EQ(ExpectedAlpha(51), 5);
  EXPECT_EQ(ExpectedAlpha(76), 255);
  EXPECT_EQ(ExpectedAlpha(77), 245);
}

TEST(BlinkLevel, JumpsFromTheTopAndClimbsEverywhereElse) {
  EXPECT_EQ(NextBlinkLevel(250), -245);
  EXPECT_EQ(NextBlinkLevel(255), -245);
  EXPECT_EQ(NextBlinkLevel(245), 255);
  EXPECT_EQ(NextBlinkLevel(-5), 5);
  EXPECT_EQ(NextBlinkLevel(-255), -245);
  EXPECT_EQ(NextBlinkLevel(0), 10);
}

TEST_F(RankingMarks, EachListShowsTheMarksOfItsNeighbours) {
  for (int16_t mode = 0; mode <= 2; ++mode) {
    for (int16_t rounds = 1; rounds <= 9; rounds += 2) {
      SCOPED_TRACE(::testing::Message() << "list " << mode << "/" << rounds);
      Draw(mode, rounds, 0);  // a level of 0 leaves each mark exactly as copied
      ExpectSpots(kLeftSpots, mode != 0);
      ExpectSpots(kRightSpots, mode != 2);
      ExpectSpots(kUpSpots, rounds != 1);
      ExpectSpots(kDownSpots, rounds != 9);
      // Nothing between the marks.
      EXPECT_TRUE(SurfaceBlack(screen_, 70, 50, 500, 390));
    }
  }
}

TEST_F(RankingMarks, TheSquareIsBlendedOverEachMarkWithTheLevel) {
  const rects::Rect sq{rects::Picture::kOther, 0, 500, 40, 40};
  for (int32_t alpha : {10, 128, 245, 255}) {
    Draw(1, 5, alpha);
    SCOPED_TRACE(alpha);
    for (const Spot* group : {kLeftSpots, kRightSpots, kUpSpots, kDownSpots}) {
      for (int g = 0; g < 2; ++g) {
        const Spot& s = group[g];
        int wrong = 0;
        for (int j = 0; j < s.piece.h && s.y + j < 480; ++j) {
          for (int i = 0; i < s.piece.w && s.x + i < 640; ++i) {
            // The square stretched over the mark: the source pixel under each centre.
            const int sx = sq.x + ((2 * i + 1) * sq.w) / (2 * s.piece.w);
            const int sy = sq.y + ((2 * j + 1) * sq.h) / (2 * s.piece.h);
            const uint32_t mark = Other().Pixel(s.piece.x + i, s.piece.y + j);
            const uint32_t want =
                BlendPixel(Other().Pixel(sx, sy), mark, static_cast<uint32_t>(alpha));
            wrong += (screen_.Pixel(s.x + i, s.y + j) & 0xFFFFFF) != (want & 0xFFFFFF);
          }
        }
        EXPECT_EQ(wrong, 0) << s.x << "," << s.y;
      }
    }
  }
}

TEST_F(RankingMarks, TheTickSetsTheSharedAlphaRefreshesAndStepsTheLevel) {
  Game& game = *game_;
  game.rank_screen.RankShownMode = 0;
  game.rank_screen.RankShownRounds = 1;
  for (int16_t start : {int16_t{0}, int16_t{250}, int16_t{-245}, int16_t{255}, int16_t{-5}}) {
    SCOPED_TRACE(start);
    game.rank_screen.BlinkLevel = start;
    game.display.Clear();
    const int frames = platform_.FrameCount();
    BltTimer(game);
    EXPECT_EQ(game.blend.Alpha, std::abs(start));
    EXPECT_EQ(game.blend.BlendArg, std::abs(start) * 65536);
    EXPECT_EQ(game.rank_screen.BlinkLevel, NextBlinkLevel(start));
    ASSERT_EQ(platform_.FrameCount(), frames + 1);
    // The frame shows what the tick drew: the marks of list (0, 1) and nothing else.
    Draw(0, 1, std::abs(start));
    const Surface shown = ToSurface(platform_.LastFrame());
    int differ = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x)
        differ += (shown.Pixel(x, y) & 0xFFFFFF) != (screen_.Pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(differ, 0);
  }
}

}  // namespace
}  // namespace rv::test
