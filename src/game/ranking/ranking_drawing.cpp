#include "game/ranking/ranking_drawing.h"

#include "game/gfx/copy_piece.h"
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

// Large digits, most significant first, the units at units_x: right-aligned.
void DrawLargeNumber(Surface& screen, const PictureSet& pictures, const DigitBuffer& digits,
                     int units_x, int y) {
  for (int k = digits.count - 1; k >= 0; --k) {
    CopyPiece(screen, units_x - kDigitPitch * k, y, pictures,
              rects::kLargeDigit(digits.digit[static_cast<size_t>(k)]));
  }
}

void DrawTime(Surface& screen, const PictureSet& pictures, int32_t time, int y) {
  const auto glyphs = TimeGlyphs(time);
  for (int k = 0; k < kTimeGlyphCount; ++k) {
    const int16_t g = glyphs[static_cast<size_t>(k)];
    if (g == kTimeSeparatorGlyph) {
      CopyPiece(screen, kTimeX + kTimePitch * k + kSeparatorShift, y, pictures,
                rects::kTimeSeparator);
    } else {
      CopyPiece(screen, kTimeX + kTimePitch * k, y, pictures, rects::kSmallDigit(g));
    }
  }
}

void DrawHeadings(Surface& screen, const PictureSet& pictures) {
  CopyPiece(screen, kTitleX, kTitleY, pictures, rects::kRankingTitle);
  CopyPiece(screen, kScoreHeadingX, kHeadingY, pictures, rects::kScoreHeading);
  CopyPiece(screen, kTimeHeadingX, kHeadingY, pictures, rects::kTimeHeading);
  CopyPiece(screen, kMovesHeadingX, kHeadingY, pictures, rects::kMovesHeading);
}

void DrawFooter(Surface& screen, const PictureSet& pictures, int16_t mode, int16_t rounds) {
  CopyPiece(screen, kDifficultyLabelX, kDifficultyY, pictures, rects::kDifficultyLabelSelected);
  if (mode >= 0 && mode <= 2) {
    CopyPiece(screen, mode == 2 ? kLongNameX : kShortNameX, kDifficultyY, pictures,
              rects::kDifficultyName[static_cast<size_t>(mode)]);
  }
  CopyPiece(screen, kRoundsLabelX, kRoundsY, pictures, rects::kRoundsLabelSelected);
  CopyPiece(screen, kRoundsDigitX, kRoundsY, pictures, rects::kRankingRoundsDigit(rounds));
  CopyPiece(screen, kRoundsUnitX, kRoundsY, pictures, rects::kRoundsUnit);
}

}  // namespace

void DrawRankingRow(Surface& screen, const PictureSet& pictures, int d, int32_t score, double moves,
                    int32_t time) {
  const int y = kFirstRowY + kRowPitch * d;
  CopyPiece(screen, kNumeralX + d / 3, y, pictures, rects::kPlaceNumeral(d));
  CopyPiece(screen, kSuffixX, y, pictures, rects::kPlaceSuffix);
  if (score == 0) return;
  DrawLargeNumber(screen, pictures, SplitDigits(ShownScore(score), kScorePlaces),
                  kScoreUnitsX + d / 2, y);
  DrawTime(screen, pictures, time, y);
  DrawLargeNumber(screen, pictures, SplitDigits(ShownMoves(moves), kMovePlaces),
                  kMovesUnitsX + d / 2, y);
}

void DrawRankingScreen(Display& display, const PictureSet& pictures, const RankingTables& ranking,
                       int16_t mode, int16_t rounds) {
  Surface& screen = display.GameScreen;
  display.Clear();
  DrawHeadings(screen, pictures);
  // The screen only ever asks for lists that exist; anything else shows as empty rows.
  const bool listed = HasRankList(mode, rounds);
  for (int d = 0; d < kRankPlaces; ++d) {
    if (!listed) {
      DrawRankingRow(screen, pictures, d, 0, 0.0, 0);
      continue;
    }
    const auto i = static_cast<size_t>(RankIndex(mode, rounds, d));
    DrawRankingRow(screen, pictures, d, ranking.RankScore[i], ranking.RankMoves[i],
                   ranking.RankTime[i]);
  }
  DrawFooter(screen, pictures, mode, rounds);
  display.Refresh();
}

}  // namespace rv
