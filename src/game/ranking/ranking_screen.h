#pragma once
// The ranking screen: one of the 15 lists at a time, browsed with the arrow keys.

namespace rv {

class Game;

// Blocks until the player leaves with the cancel key; returns with GameScreen cleared and
// the screen's timer disabled.
void ShowRanking(Game& game);

}  // namespace rv
