#pragma once
// The match's own drawing: the blocks, the round title, the windows built from the window
// skin (the first-player roulette and the winner banner) with their texts.

#include <cstdint>
#include <string_view>

#include "game/gfx/blit.h"
#include "game/gfx/picture_rects.h"

namespace rv {

class Game;
class Surface;
class TextRenderer;

// Every occupied cell as its chip onto GameScreen (plain copies; empty cells are left as
// the background shows them). Does not refresh.
void DrawBlocks(Game& game);

// The number of round RoundNo and its word, in the order of the language's pattern "%1回戦",
// their black transparent.
void DrawRoundTitle(Game& game);

// The first-player roulette's window with its texts into PicMemory, for the roulette to
// show on every pass.
void DrawRouletteWindow(Game& game);

// Mode 0: the first-player roulette (SpinFirstPlayerRoulette). Mode 1: the winner banner for
// `name`; returns 1. Other modes draw nothing and return 0.
int16_t PopupWindow(Game& game, int16_t mode, std::string_view name = {});

// The face the match prints with; without it nothing can be printed (it throws).
TextRenderer& TextOf(Game& game);

// LoadSurface that treats an unreadable picture as a failure (throws).
void LoadPictureOrThrow(Game& game, rects::Picture picture);

}  // namespace rv
