// One list drawn on a surface: where every glyph lands, with the real interface sheet.
#include "game/ranking/ranking_drawing.h"

#include <string>

#include "game/gfx/display.h"
#include "ranking_fixture.h"

namespace rv::test {
namespace {

constexpr rects::Rect Piece(int x, int y, int w, int h) {
  return {rects::Picture::kOther, x, y, w, h};
}
// Place numerals of rows 0..8 and the match-length digits 1, 3, 5, 7, 9 in the sheet.
constexpr int kNumeralX[9] = {26, 52, 77, 102, 128, 154, 179, 204, 230};
constexpr int kRoundsDigitX[5] = {27, 78, 129, 180, 231};

int RowY(int d) { return 100 + 35 * d; }

class RankingDrawing : public RankingFixture {
 protected:
  Surface screen_{640, 480};

  void Row(int d, int32_t score, double moves, int32_t time) {
    screen_.PaintAll(0);
    DrawRankingRow(screen_, Pictures(), d, score, moves, time);
  }
  // The large digits of `text` right-aligned with their units at units_x.
  void ExpectLargeNumber(const char* text, int units_x, int y) {
    const int n = static_cast<int>(std::char_traits<char>::length(text));
    for (int i = 0; i < n; ++i) {
      const int x = units_x - 25 * (n - 1 - i);
      EXPECT_TRUE(SurfaceShows(screen_, x, y, Other(), LargeDigitPiece(text[i] - '0')))
          << text << " digit " << i << " at x " << x;
    }
    // The unused digit places of the column stay empty.
    const int places = units_x >= 555 ? 5 : 6;
    for (int k = n; k < places; ++k) {
      EXPECT_TRUE(SurfaceBlack(screen_, units_x - 25 * k, y, 25, 27)) << text << " place " << k;
    }
  }
  // "mm:ss:hh" as eight glyphs from x = 280.
  void ExpectTime(const char* text, int y) {
    for (int k = 0; k < 8; ++k) {
      if (text[k] == ':') {
        EXPECT_TRUE(SurfaceShows(screen_, 285 + 20 * k, y, Other(), kSeparatorPiece)) << k;
      } else {
        EXPECT_TRUE(SurfaceShows(screen_, 280 + 20 * k, y, Other(), SmallDigitPiece(text[k] - '0')))
            << text << " glyph " << k;
      }
    }
  }
  void ExpectPlaceOnly(int d) {
    const int y = RowY(d);
    EXPECT_TRUE(SurfaceShows(screen_, 10 + d / 3, y, Other(), Piece(kNumeralX[d], 90, 25, 27)));
    EXPECT_TRUE(SurfaceShows(screen_, 40, y, Other(), Piece(260, 90, 35, 27)));
    EXPECT_TRUE(SurfaceBlack(screen_, 75, y, 640 - 75, 35)) << "row " << d;
  }
};

TEST_F(RankingDrawing, EveryRowShowsItsNumeralLeaningRightAndTheSuffix) {
  for (int d = 0; d < 9; ++d) {
    Row(d, 0, 25.0, 6000);
    SCOPED_TRACE(d);
    ExpectPlaceOnly(d);
    EXPECT_TRUE(SurfaceBlack(screen_, 0, 0, 640, RowY(d)));
    EXPECT_TRUE(SurfaceBlack(screen_, 0, RowY(d) + 27, 640, 480 - RowY(d) - 27));
  }
}

TEST_F(RankingDrawing, ScoreOfSevenIsOneDigitAtTheUnitsColumn) {
  for (int d = 0; d < 9; ++d) {
    SCOPED_TRACE(d);
    Row(d, 7, 10.0, 6000);
    ExpectLargeNumber("7", 220 + d / 2, RowY(d));
  }
}

TEST_F(RankingDrawing, SixDigitScoreRunsFromNinetyFive) {
  for (int d = 0; d < 9; ++d) {
    SCOPED_TRACE(d);
    Row(d, 123456, 10.0, 6000);
    ExpectLargeNumber("123456", 220 + d / 2, RowY(d));
    EXPECT_TRUE(SurfaceShows(screen_, 95 + d / 2, RowY(d), Other(), LargeDigitPiece(1)));
  }
}

TEST_F(RankingDrawing, TimeAndMovesOfAWholeRow) {
  for (int d = 0; d < 9; ++d) {
    SCOPED_TRACE(d);
    Row(d, 53280, 10.0, 6000);
    ExpectLargeNumber("53280", 220 + d / 2, RowY(d));
    ExpectTime("01:00:00", RowY(d));
    ExpectLargeNumber("10", 555 + d / 2, RowY(d));
  }
  Row(4, 159562, 16.0, 123456);
  ExpectTime("20:34:56", RowY(4));
  ExpectLargeNumber("16", 557, RowY(4));
  // Half a move rounds to even.
  Row(0, 1, 12.5, 1);
  ExpectLargeNumber("12", 555, RowY(0));
  ExpectTime("00:00:01", RowY(0));
}

TEST_F(RankingDrawing, HeadingsAndFooterOfEveryList) {
  Display& display = game_->display;
  for (int16_t m = 0; m <= 2; ++m) {
    for (int16_t r = 1; r <= 9; r += 2) {
      SCOPED_TRACE(::testing::Message() << "list " << m << "/" << r);
      DrawRankingScreen(display, Pictures(), Tables(), m, r);
      const Surface& s = display.GameScreen;
      EXPECT_TRUE(SurfaceShows(s, 172, 0, Other(), Piece(0, 0, 296, 45)));
      EXPECT_TRUE(SurfaceShows(s, 125, 60, Other(), Piece(135, 50, 80, 30)));
      EXPECT_TRUE(SurfaceShows(s, 300, 60, Other(), Piece(0, 50, 115, 32)));
      EXPECT_TRUE(SurfaceShows(s, 475, 60, Other(), Piece(80, 336, 115, 30)));
      EXPECT_TRUE(SurfaceShows(s, 110, 410, Other(), Piece(0, 155, 120, 30)));
      if (m == 2) {
        EXPECT_TRUE(SurfaceShows(s, 240, 410, Other(), Piece(0, 190, 290, 30)));
      } else {
        EXPECT_TRUE(SurfaceShows(s, 460, 410, Other(), Piece(135 + 75 * m, 155, 70, 30)));
        EXPECT_TRUE(SurfaceBlack(s, 240, 410, 220, 30));
      }
      EXPECT_TRUE(SurfaceShows(s, 188, 440, Other(), Piece(0, 225, 120, 30)));
      EXPECT_TRUE(SurfaceShows(s, 373, 440, Other(), Piece(kRoundsDigitX[r / 2], 87, 25, 30)));
      EXPECT_TRUE(SurfaceShows(s, 405, 440, Other(), Piece(135, 225, 30, 30)));
      // The marks' places stay clear: only the timer draws there.
      EXPECT_TRUE(SurfaceBlack(s, 0, 0, 40, 45));
      EXPECT_TRUE(SurfaceBlack(s, 600, 0, 40, 45));
      EXPECT_TRUE(SurfaceBlack(s, 0, 440, 70, 40));
      EXPECT_TRUE(SurfaceBlack(s, 565, 440, 75, 40));
    }
  }
}

TEST_F(RankingDrawing, EachListShowsItsOwnPlaces) {
  // A distinct score for every place of every list: 1000 x (list + 1) + place.
  for (int m = 0; m < 3; ++m)
    for (int r = 0; r < 5; ++r)
      for (int p = 0; p < 9; ++p) {
        const size_t i = static_cast<size_t>(m + 3 * r + 15 * p);
        Tables().RankScore[i] = 1000 * (1 + m + 3 * r) + p + 1;
        Tables().RankMoves[i] = 10 + p;
        Tables().RankTime[i] = 6000 * (p + 1);
      }
  Display& display = game_->display;
  for (int16_t m = 0; m <= 2; ++m) {
    for (int16_t r = 1; r <= 9; r += 2) {
      DrawRankingScreen(display, Pictures(), Tables(), m, r);
      screen_ = display.GameScreen;
      for (int d = 0; d < 9; ++d) {
        SCOPED_TRACE(::testing::Message() << "list " << m << "/" << r << " row " << d);
        const std::string score = std::to_string(1000 * (1 + m + 3 * (r / 2)) + d + 1);
        ExpectLargeNumber(score.c_str(), 220 + d / 2, RowY(d));
        ExpectLargeNumber(std::to_string(10 + d).c_str(), 555 + d / 2, RowY(d));
        const std::string time = "0" + std::to_string(d + 1) + ":00:00";
        ExpectTime(time.c_str(), RowY(d));
      }
    }
  }
}

}  // namespace
}  // namespace rv::test
