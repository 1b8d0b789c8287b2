#pragma once
// The pulsing marks of the ranking screen. They stand at the edges in the directions where
// there are more lists: the difficulty marks in the corners (left for an easier level,
// right for a harder one), the match-length marks at the top (shorter) and the bottom
// (longer). Each tick draws them afresh and blends the dark square over them with a level
// that runs up and down, so they fade out and in.

#include <cstdint>

#include "game/ranking/ranking_screen_state.h"

namespace rv {

class Surface;
struct PictureSet;

// The marks alone, blended with blend_arg (Alpha x 65536).
void DrawRankingMarks(Surface& screen, const PictureSet& pictures, const RankingScreenState& shown,
                      int32_t blend_arg);

// The level after `level`: it climbs by 10, and from 250 or more it jumps to -245, whose
// absolute value falls back again. Starting from 0 the absolute values run 0, 10, ..., 250,
// 245, ..., 5, 5, 15, ..., 255, 245, ... with a period of 51 ticks.
int16_t NextBlinkLevel(int16_t level);

}  // namespace rv
