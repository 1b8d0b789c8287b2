#include "game/ranking/ranking_marks.h"

#include "game/gfx/blit.h"
#include "game/gfx/copy_piece.h"
#include "game/gfx/picture_rects.h"

namespace rv {

namespace {

constexpr int kLeftMarkX = 0, kRightMarkX = 605;
constexpr int kCornerPitchY = 440;  // top and bottom corner
constexpr int kRightMarkDropY = 5;
constexpr int kLengthMarkX = 30, kLengthMarkPitchX = 535;
constexpr int kUpMarkY = 8, kDownMarkY = 448;

// A mark, then the blend square stretched over exactly the mark's rectangle.
void BlendedMark(Surface& screen, const PictureSet& pictures, const rects::Rect& mark, int x, int y,
                 int32_t blend_arg) {
  CopyPiece(screen, x, y, pictures, mark);
  const rects::Rect& sq = rects::kBlendSquare;
  AlphaBlend(screen, x, y, mark.w, mark.h, pictures.PicOther, sq.x, sq.y, sq.w, sq.h, blend_arg);
}

}  // namespace

void DrawRankingMarks(Surface& screen, const PictureSet& pictures, const RankingScreenState& shown,
                      int32_t blend_arg) {
  for (int i = 0; i < 2; ++i) {
    const int y = kCornerPitchY * i;
    if (shown.RankShownMode != 0) {
      BlendedMark(screen, pictures, rects::kLeftArrow, kLeftMarkX, y, blend_arg);
    }
    if (shown.RankShownMode != 2) {
      BlendedMark(screen, pictures, rects::kRightArrow, kRightMarkX, y + kRightMarkDropY,
                  blend_arg);
    }
  }
  for (int i = 0; i < 2; ++i) {
    const int x = kLengthMarkX + kLengthMarkPitchX * i;
    if (shown.RankShownRounds != 1) {
      BlendedMark(screen, pictures, rects::kUpMark, x, kUpMarkY, blend_arg);
    }
    if (shown.RankShownRounds != 9) {
      BlendedMark(screen, pictures, rects::kDownMark, x, kDownMarkY, blend_arg);
    }
  }
}

int16_t NextBlinkLevel(int16_t level) {
  if (level >= 250) level = -255;
  return static_cast<int16_t>(level + 10);
}

}  // namespace rv
