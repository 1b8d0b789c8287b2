#include "game/ranking/ranking_drawing.h"

#include "game/gfx/blit.h"
#include "game/gfx/display.h"
#include "game/gfx/picture_rects.h"
#include "game/ranking/display_values.h"
#include "game/ranking/ranking_tables.h"

namespace rv {

namespace {

// Where the pieces go on the 640 x 480 screen.
constexpr int kTitleX = 172, kTitleY = 0;
constexpr int kHeadingY = 60;
constexpr int kScoreHeadingX = 125, kTimeHeadingX = 300, kMovesHeadingX = 475;
constexpr int kFirstRowY = 100, kRowPitch = 35;
constexpr int kNumeralX = 10, kSuffixX = 40;
constexpr int kScoreUnitsX = 220, kMovesUnitsX = 555, kDigitPitch = 25;
constexpr int kTimeX = 280, kTimePitch = 20, kSeparatorShift = 5;
constexpr int kDifficultyY = 410, kDifficultyLabelX = 110;
constexpr int kShortNameX = 460, kLongNameX = 240;  // the hardest level has a long name
constexpr int kRoundsY = 440, kRoundsLabelX = 188, kRoundsDigitX = 373, kRoundsUnitX = 405;

void Put(Surface& screen, const Surface& other, const rects::Rect& piece, int x, int y) {
  BitBlt(screen, x, y, piece.w, piece.h, other, piece.x, piece.y);
}

// Large digits, most significant first, the units at units_x: right-aligned.
void DrawLargeNumber(Surface& screen, const Surface& other, const DigitBuffer& digits, int units_x,
                     int y) {
  for (int k = digits.count - 1; k >= 0; --k) {
    Put(screen, other, rects::kLargeDigit(digits.digit[static_cast<size_t>(k)]),
        units_x - kDigitPitch * k, y);
  }
}

void DrawTime(Surface& screen, const Surface& other, int32_t time, int y) {
  const auto glyphs = TimeGlyphs(time);
  for (int k = 0; k < kTimeGlyphCount; ++k) {
    const int16_t g = glyphs[static_cast<size_t>(k)];
    if (g == kTimeSeparatorGlyph) {
      Put(screen, other, rects::kTimeSeparator, kTimeX + kTimePitch * k + kSeparatorShift, y);
    } else {
      Put(screen, other, rects::kSmallDigit(g), kTimeX + kTimePitch * k, y);
    }
  }
}

void DrawHeadings(Surface& screen, const Surface& other) {
  Put(screen, other, rects::kRankingTitle, kTitleX, kTitleY);
  Put(screen, other, rects::kScoreHeading, kScoreHeadingX, kHeadingY);
  Put(screen, other, rects::kTimeHeading, kTimeHeadingX, kHeadingY);
  Put(screen, other, rects::kMovesHeading, kMovesHeadingX, kHeadingY);
}

void DrawFooter(Surface& screen, const Surface& other, int16_t mode, int16_t rounds) {
  Put(screen, other, rects::kDifficultyLabelSelected, kDifficultyLabelX, kDifficultyY);
  if (mode >= 0 && mode <= 2) {
    Put(screen, other, rects::kDifficultyName[static_cast<size_t>(mode)],
        mode == 2 ? kLongNameX : kShortNameX, kDifficultyY);
  }
  Put(screen, other, rects::kRoundsLabelSelected, kRoundsLabelX, kRoundsY);
  Put(screen, other, rects::kRankingRoundsDigit(rounds), kRoundsDigitX, kRoundsY);
  Put(screen, other, rects::kRoundsUnit, kRoundsUnitX, kRoundsY);
}

}  // namespace

void DrawRankingRow(Surface& screen, const Surface& other, int d, int32_t score, double moves,
                    int32_t time) {
  const int y = kFirstRowY + kRowPitch * d;
  Put(screen, other, rects::kPlaceNumeral(d), kNumeralX + d / 3, y);
  Put(screen, other, rects::kPlaceSuffix, kSuffixX, y);
  if (score == 0) return;
  DrawLargeNumber(screen, other, SplitDigits(ShownScore(score), kScorePlaces), kScoreUnitsX + d / 2,
                  y);
  DrawTime(screen, other, time, y);
  DrawLargeNumber(screen, other, SplitDigits(ShownMoves(moves), kMovePlaces), kMovesUnitsX + d / 2,
                  y);
}

void DrawRankingScreen(Display& display, const Surface& other, const RankingTables& ranking,
                       int16_t mode, int16_t rounds) {
  Surface& screen = display.GameScreen;
  display.Clear();
  DrawHeadings(screen, other);
  // The screen only ever asks for lists that exist; anything else shows as empty rows.
  const bool listed = HasRankList(mode, rounds);
  for (int d = 0; d < kRankPlaces; ++d) {
    if (!listed) {
      DrawRankingRow(screen, other, d, 0, 0.0, 0);
      continue;
    }
    const auto i = static_cast<size_t>(RankIndex(mode, rounds, d));
    DrawRankingRow(screen, other, d, ranking.RankScore[i], ranking.RankMoves[i],
                   ranking.RankTime[i]);
  }
  DrawFooter(screen, other, mode, rounds);
  display.Refresh();
}

}  // namespace rv
