#pragma once
// The match's own drawing: the blocks, the round title, the windows built from the window
// skin (the first-player roulette and the winner banner) and the shadowed texts.

#include <cstdint>
#include <string_view>

#include "game/gfx/blit.h"
#include "game/gfx/picture_rects.h"

namespace rv {

class Game;
class Surface;

// Every occupied cell as its chip onto GameScreen (plain copies; empty cells are left as
// the background shows them). Does not refresh.
void DrawBlocks(Game& game);

// The number of round RoundNo and its word, in the order of the language's pattern "%1回戦",
// colour-keyed with KeyColor.
void DrawRoundTitle(Game& game);

// Mode 0: the first-player roulette; runs until Key_X and returns 0 when it stopped on the
// player, 1 on the CPU. Mode 1: the winner banner for `name`; returns 1. Other modes draw
// nothing and return 0.
int16_t PopupWindow(Game& game, int16_t mode, std::string_view name = {});

// The text primitives on the game's surfaces. Without the Japanese face nothing can be
// printed, which is a failure of the match (it throws).
void ShadowText(Game& game, int16_t x, int16_t y, std::string_view text, int16_t bold,
                int16_t on_screen);
void ColorText(Game& game, int16_t x, int16_t y, int red, int green, int blue,
               std::string_view text, int16_t bold);

// LoadSurface that treats an unreadable picture as a failure (throws).
void LoadPictureOrThrow(Game& game, rects::Picture picture);

}  // namespace rv
