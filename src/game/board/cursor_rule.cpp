#include "game/board/cursor_rule.h"

#include <algorithm>

namespace rv {

StepDirection StepFromKeys(int16_t key_left, int16_t key_right) {
  if (key_left == 1) return StepDirection::kLeft;
  if (key_right == 1) return StepDirection::kRight;
  return StepDirection::kNone;
}

namespace {

// The first block of a round that the player begins may go to any column.
bool AdjacencyApplies(int16_t first_mover, int16_t move_round) {
  return !(first_mover == 1 && move_round == 1);
}

// Searches from a full column for one with room, turning round at the board's edge.
bool SearchPastFullColumns(const Board& board, StepDirection step, int16_t& x, int16_t& y) {
  int dir = step == StepDirection::kLeft ? -1 : 1;
  if (step == StepDirection::kNone && x == kColumns - 1) dir = -1;
  // Each column is visited at most twice (once each way) before every one has been seen.
  for (int tries = 0; tries < 4 * kColumns; ++tries) {
    int next = x + dir;
    if (next < 0 || next >= kColumns) {
      dir = -dir;
      next = std::clamp(next, 0, kColumns - 1);
    }
    x = static_cast<int16_t>(next);
    int landing = board.LandingRow(x);
    if (landing >= 0) {
      y = static_cast<int16_t>(landing);
      return true;
    }
  }
  y = 0;
  return false;
}

}  // namespace

bool SettleCursor(const Board& board, StepDirection step, int16_t FirstMover, int16_t MoveRound,
                  int16_t& CharaX, int16_t& CharaY) {
  const int16_t stepped = CharaX;
  CharaX = static_cast<int16_t>(std::clamp<int>(CharaX, 0, kColumns - 1));
  const bool clamped = CharaX != stepped;

  if (step != StepDirection::kNone && AdjacencyApplies(FirstMover, MoveRound) &&
      CharaY == kRows - 1 && board.ColumnEmpty(CharaX) && !clamped) {
    // From an empty column into another empty one: back to where the cursor came from.
    CharaX = static_cast<int16_t>(CharaX + (step == StepDirection::kLeft ? 1 : -1));
  }

  int landing = board.LandingRow(CharaX);
  if (landing >= 0) {
    CharaY = static_cast<int16_t>(landing);
    return true;
  }
  return SearchPastFullColumns(board, step, CharaX, CharaY);
}

}  // namespace rv
