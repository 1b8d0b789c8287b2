#pragma once
// The end of a match: the translucent panel, the score and its ranking, the results, the
// fade back to the plain background and the reset of the match state.

#include <cstdint>
#include <string>

#include "game/gfx/screen_place.h"

namespace rv {

class Game;

// The results panel on GameScreen: it grows from its left edge at 400 pixels per second.
constexpr ScreenBox kPanel{200, 96, 240, 190};
constexpr int kPanelWidth = kPanel.w;
constexpr double kPanelPixelsPerMs = 0.4;

// Width of the panel `elapsed_ms` after the sweep began: 400 px/s rounded half to even,
// never below 0 nor past the full width.
int PanelWidthAt(int32_t elapsed_ms);

// "mm:ss:hh" of a battle time in milliseconds; 100 minutes and more show every minute
// ("123:45:67"). Computed in 64 bits, so no total overflows the way a 16-bit count of
// seconds would past 546 minutes. A negative total shows as zero.
std::string BattleTimeText(int64_t total_ms);

// Left edge of the battle time: x 350, or further left when a long minute count would
// carry the text (with its one-pixel shadow) past the panel's right edge.
int BattleTimeX(int text_width);

// The decimal digits of a non-negative value in full-width forms ("３" for 3).
std::string FullWidthDigits(int value);

// Scores the match and enters it into its ranking list; sets the match totals. A failure
// (the ranking file cannot be written, an overflow) shows "エラー発生！" and ends the program.
int32_t ScoreMatch(Game& game);

// After the last round's banner: the panel sweep (timed from sweep_start), ScoreMatch, the
// results for 4 s, the fade to PicBack, the music stopped and the match state cleared.
void ShowMatchResults(Game& game, int32_t sweep_start);

}  // namespace rv
