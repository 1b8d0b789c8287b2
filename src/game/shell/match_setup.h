#pragma once
// The pre-match selection: difficulty (`GameMode`) and match length (`RoundCount`).

#include <cstdint>

namespace rv {

class Game;

// Starts from difficulty 0 and one round every time. Returns -1 when the player starts the
// match, 0 when the player cancels; game.match.GameMode and RoundCount hold the values
// chosen so far either way.
int16_t MatchSetup(Game& game);

// The whole screen for the row under the cursor (0 difficulty, 1 rounds, 2 start), refreshed.
void DrawMatchSetup(Game& game, int16_t row);

}  // namespace rv
