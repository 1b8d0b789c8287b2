#pragma once
// The CPU's choice of cell: a scripted first move, then a fixed list of rules switched on
// by the difficulty. The CPU looks only at the board as it is and never looks ahead.

#include <cstdint>
#include <optional>

#include "game/board/board.h"
#include "game/board/match_state.h"
#include "game/cpu/random_source.h"

namespace rv {

// kNone only for a board without an empty cell, which the game never hands over.
enum class CpuRule { kFirst, kR1, kR2, kR3, kR4, kR5, kNone };

struct CpuMove {
  CpuRule rule;
  int16_t x;
  int16_t y;
};

// "FIRST", "R1" ... "R5", "NONE".
const char* CpuRuleName(CpuRule rule);

struct Cell {
  int16_t x;
  int16_t y;
};

// True when the cell is the landing cell of its column (false for any cell of a full column
// and for cells off the board).
bool IsLandingCell(const Board& board, int16_t EnemyTargetX, int16_t EnemyTargetY);

// The line scans R1 to R3: the first origin (columns left to right, rows top to bottom) and
// direction (the seven of the line check, in order) whose run of `run_length` cells holds
// `value` and whose open end, one step before the origin, is a landing cell. With
// `any_block_down_right` the second cell of the down-right direction only has to hold a
// block of either side (the pair rule's exception).
std::optional<Cell> ScanLines(const Board& board, int16_t value, int run_length,
                              bool any_block_down_right);

// R4: a landing cell next to the CPU's last block, never on the board's outer ring.
std::optional<Cell> NextToLastBlock(const Board& board, int16_t EnemyX, int16_t EnemyY);

// R5: a column drawn from the span of bottom-row blocks widened by one column each side,
// re-seeding before each draw and redrawing full columns. Places the block and leaves its
// cell in EnemyTargetX/Y. False only when no column has room.
bool RandomDrop(MatchState& s, RandomSource& rng);

// Chooses, writes the CPU's block (2) into s.Board and sets EnemyX/EnemyY (and
// EnemyTargetX/Y) to it. In the scripted first move of a round the CPU begins it also puts
// the player's cursor directly above the new block (CharaX = c, CharaY = 27).
CpuMove ChooseCpuMove(MatchState& s, RandomSource& rng);

}  // namespace rv
