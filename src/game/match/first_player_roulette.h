#pragma once
// The first-player roulette: its window over the round title, with the cursor swapping
// between the player's line and the CPU's on every pass until X stops it.

#include <cstdint>

namespace rv {

class Game;

// Runs until Key_X; returns 0 when it stopped on the player, 1 on the CPU.
int16_t SpinFirstPlayerRoulette(Game& game);

}  // namespace rv
