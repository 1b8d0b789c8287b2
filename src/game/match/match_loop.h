#pragma once
// One match, from the confirmed selection to the last round's results.

namespace rv {

class Game;

// Runs the match of game.match.GameMode and RoundCount. Returns after the last round's
// results have faded out and the match state has been reset; the caller then starts the
// title sequence from its logo. The error path and Escape leave through ProgramExit.
void MatchLoop(Game& game);

}  // namespace rv
