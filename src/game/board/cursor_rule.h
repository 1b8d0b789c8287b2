#pragma once
// Where the player's cursor may stand: always on the landing cell of its column, never
// wandering from one empty column into another once the round's first block is down.

#include <cstdint>

#include "game/board/board.h"

namespace rv {

enum class StepDirection { kNone, kLeft, kRight };

// The direction of the step the match loop has just made; left wins over right there too.
StepDirection StepFromKeys(int16_t key_left, int16_t key_right);

// Settles the cursor after a step (CharaX may then be -1 or 40) or after the board changed.
// Returns false only when the board has no empty cell at all: the game never settles on a
// full board, and rather than searching forever the cursor is then left at row 0.
bool SettleCursor(const Board& board, StepDirection step, int16_t FirstMover, int16_t MoveRound,
                  int16_t& CharaX, int16_t& CharaY);

}  // namespace rv
