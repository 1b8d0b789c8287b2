#pragma once
// The CPU's whole turn on the screen: the choice, the cursor's walk to the new block, the
// placement sound, the redraw, the board-full check and the hand-over to the player.

#include <cstdint>

#include "game/match/round_end.h"

namespace rv {

class Game;

// Places exactly one CPU block. Returns what the board-full check made of the round; when
// it ended the round the turn stops there and is not handed back.
RoundEvent EnemyTurn(Game& game);

// Steps (from_x, from_y) one cell per 100 ms towards (EnemyX, EnemyY), columns first, then
// rows, moving EnemyCursor along. A walk of length 0 returns at once.
void WalkEnemyCursor(Game& game, int16_t& from_x, int16_t& from_y);

}  // namespace rv
