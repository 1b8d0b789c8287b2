#pragma once
// Setting up a round: the empty board, the round title, the first-player roulette, and the
// turn of whoever begins.

namespace rv {

class Game;

// Clears the board, shows the title of round RoundNo + 1 for 2 s and the roulette until X,
// leaves its result for 2 s, then redraws the background and hands the first move over.
// Takes RoundStartTick last, so a round's time never includes its title or roulette.
void StartRound(Game& game);

// The background picture onto the cleared GameScreen (no refresh).
void PaintMatchBackground(Game& game);

}  // namespace rv
