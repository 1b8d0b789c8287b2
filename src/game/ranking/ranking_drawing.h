#pragma once
// One ranking list on the game screen: the headings, nine rows that lean slightly to the
// right as they go down, and the footer naming the list. Every piece is an opaque copy
// from PicOther; numbers are drawn glyph by glyph.

#include <cstdint>

namespace rv {

class Display;
class Surface;
struct PictureSet;
struct RankingTables;

// Clears GameScreen, draws the list of difficulty `mode` (0..2) and match length `rounds`
// (1, 3, 5, 7, 9) and refreshes.
void DrawRankingScreen(Display& display, const PictureSet& pictures, const RankingTables& ranking,
                       int16_t mode, int16_t rounds);

// Row d (0..8, place d + 1). A score of 0 is an empty place: numeral and suffix only.
void DrawRankingRow(Surface& screen, const PictureSet& pictures, int d, int32_t score, double moves,
                    int32_t time);

}  // namespace rv
