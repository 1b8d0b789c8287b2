#pragma once
// Four blocks of one side in an unbroken line, and the move-pair counter that the line
// check keeps.

#include <cstdint>
#include <optional>

#include "game/board/board.h"
#include "game/board/match_state.h"

namespace rv {

// The seven directions of the line check, in the order they are tried at each origin.
struct LineDirection {
  int dx;
  int dy;
};
inline constexpr LineDirection kLineDirections[7] = {{+1, 0},  {0, +1},  {-1, 0}, {-1, -1},
                                                     {+1, -1}, {+1, +1}, {-1, +1}};

struct LineHit {
  int c;
  int r;
  int d;  // 1..7, the direction's number in the order above
};

// The first origin (columns left to right, rows top to bottom) and direction whose three
// further cells hold the side's blocks. Only directions whose cells all lie on the board
// are tried, so nothing outside the board is read.
std::optional<LineHit> FindFirstFour(const Board& board, int16_t side);
// Whether such a line exists at all: the same answer, from whole rows at once.
bool FindFour(const Board& board, int16_t side);

// Side 1 moves second when the CPU began the round, side 2 when the player did.
bool MovesSecond(int16_t side, int16_t FirstMover);

// The line check after a move of `side`: true when it found four (the round is decided).
// Otherwise, after a move of the side that moves second, the next move pair begins.
bool CheckFourRule(MatchState& s, int16_t side);

// True when no cell is empty; the round then goes to the CPU.
bool BoardFull(const Board& board);

}  // namespace rv
