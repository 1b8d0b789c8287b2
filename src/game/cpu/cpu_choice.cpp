#include "game/cpu/cpu_choice.h"

#include "game/board/four_in_row.h"

namespace rv {

namespace {

// Draws after which a redraw loop stops trusting the generator (a uniform source needs a
// handful; a broken one must not hang the game).
constexpr int kMaxDraws = 1000;

void Place(MatchState& s, int16_t x, int16_t y) {
  s.Board.Set(x, y, kCpu);
  s.EnemyX = x;
  s.EnemyY = y;
}

// The scripted answer to the player's first block: beside it on the bottom row.
std::optional<Cell> BesidePlayersFirstBlock(const MatchState& s, RandomSource& rng) {
  const int y = s.CharaLastY;
  const bool left_on = s.CharaLastX - 1 >= 0 && Board::OnBoard(s.CharaLastX - 1, y);
  const bool right_on = s.CharaLastX + 1 <= kColumns - 1 && Board::OnBoard(s.CharaLastX + 1, y);
  if (!left_on && !right_on) return std::nullopt;
  int side = 0;
  for (int draws = 0; draws < kMaxDraws && side == 0; ++draws) {
    const int16_t drawn = RandomRange(rng, 1, 2);
    if ((drawn == 1 && left_on) || (drawn == 2 && right_on)) side = drawn;
  }
  if (side == 0) side = left_on ? 1 : 2;
  return Cell{static_cast<int16_t>(side == 1 ? s.CharaLastX - 1 : s.CharaLastX + 1),
              static_cast<int16_t>(y)};
}

// The scripted first move. Only a hand-made position can offer a cell that is not a
// landing cell; such a position gets the ordinary rules instead of an overwritten block.
std::optional<CpuMove> ScriptedFirstMove(MatchState& s, RandomSource& rng) {
  if (s.FirstMover == 1) {
    const std::optional<Cell> cell = BesidePlayersFirstBlock(s, rng);
    if (!cell || !IsLandingCell(s.Board, cell->x, cell->y)) return std::nullopt;
    Place(s, cell->x, cell->y);
    return CpuMove{CpuRule::kFirst, cell->x, cell->y};
  }
  const int16_t c = RandomRange(rng, 0, kColumns - 1);
  if (!IsLandingCell(s.Board, c, kRows - 1)) return std::nullopt;
  Place(s, c, kRows - 1);
  s.CharaX = c;
  s.CharaY = kRows - 2;
  return CpuMove{CpuRule::kFirst, c, static_cast<int16_t>(kRows - 1)};
}

bool RunMatches(const Board& board, int ox, int oy, LineDirection d, int16_t value, int n,
                bool any_block_second) {
  if (board.At(ox, oy) != value) return false;
  for (int k = 1; k < n; ++k) {
    const int16_t v = board.At(ox + k * d.dx, oy + k * d.dy);
    const bool ok = (any_block_second && k == 1) ? v != kEmpty : v == value;
    if (!ok) return false;
  }
  return true;
}

struct SpanOfColumns {
  int left;
  int right;
};

// The bottom-row blocks' span widened by one column each side, clipped to the board. A board
// without bottom-row blocks (never in a running round) spans every column.
SpanOfColumns DropSpan(const Board& board) {
  int left = 0;
  while (left < kColumns && board.ColumnEmpty(left)) ++left;
  if (left == kColumns) return {0, kColumns - 1};
  int right = kColumns - 1;
  while (board.ColumnEmpty(right)) --right;
  if (left != 0) --left;
  if (right != kColumns - 1) ++right;
  return {left, right};
}

bool SpanHasRoom(const Board& board, SpanOfColumns span) {
  for (int c = span.left; c <= span.right; ++c) {
    if (board.TopBlockRow(c) != 0) return true;
  }
  return false;
}

}  // namespace

const char* CpuRuleName(CpuRule rule) {
  switch (rule) {
    case CpuRule::kFirst:
      return "FIRST";
    case CpuRule::kR1:
      return "R1";
    case CpuRule::kR2:
      return "R2";
    case CpuRule::kR3:
      return "R3";
    case CpuRule::kR4:
      return "R4";
    case CpuRule::kR5:
      return "R5";
    case CpuRule::kNone:
      break;
  }
  return "NONE";
}

bool IsLandingCell(const Board& board, int16_t EnemyTargetX, int16_t EnemyTargetY) {
  if (!Board::OnBoard(EnemyTargetX, EnemyTargetY)) return false;
  return EnemyTargetY == board.TopBlockRow(EnemyTargetX) - 1;
}

// Only a landing cell can be a target, and there is at most one per column. So instead of
// walking every origin in scan order and testing its target, every (origin, direction) whose
// target is a landing cell is tested and the one that comes first in scan order wins: the
// same cell the origin-by-origin walk finds, at a fraction of the reads.
std::optional<Cell> ScanLines(const Board& board, int16_t value, int run_length,
                              bool any_block_down_right) {
  std::optional<Cell> best;
  int best_key = 0;
  for (int tx = 0; tx < kColumns; ++tx) {
    const int ty = board.LandingRow(tx);
    if (ty < 0) continue;
    for (int d = 0; d < 7; ++d) {
      const LineDirection dir = kLineDirections[d];
      const int ox = tx + dir.dx;
      const int oy = ty + dir.dy;
      const int last_x = ox + (run_length - 1) * dir.dx;
      const int last_y = oy + (run_length - 1) * dir.dy;
      if (!Board::OnBoard(ox, oy) || !Board::OnBoard(last_x, last_y)) continue;
      const int key = (ox * kRows + oy) * 8 + d;
      if (best && key >= best_key) continue;
      const bool exception = any_block_down_right && d == 5;
      if (!RunMatches(board, ox, oy, dir, value, run_length, exception)) continue;
      best = Cell{static_cast<int16_t>(tx), static_cast<int16_t>(ty)};
      best_key = key;
    }
  }
  return best;
}

std::optional<Cell> NextToLastBlock(const Board& board, int16_t EnemyX, int16_t EnemyY) {
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy) {
      const int x = EnemyX + dx;
      const int y = EnemyY + dy;
      // The outer ring, the bottom row included, is never chosen here.
      if (x < 1 || x > kColumns - 2 || y < 1 || y > kRows - 2) continue;
      if (board.At(x, y) != kEmpty) continue;
      if (IsLandingCell(board, static_cast<int16_t>(x), static_cast<int16_t>(y))) {
        return Cell{static_cast<int16_t>(x), static_cast<int16_t>(y)};
      }
    }
  }
  return std::nullopt;
}

bool RandomDrop(MatchState& s, RandomSource& rng) {
  SpanOfColumns span = DropSpan(s.Board);
  // The game guarantees a column with room in the span; a hand-made board may not have one.
  if (!SpanHasRoom(s.Board, span)) span = {0, kColumns - 1};
  if (!SpanHasRoom(s.Board, span)) return false;

  int16_t x = 0;
  int top = 0;
  for (int draws = 0; draws < kMaxDraws && top == 0; ++draws) {
    rng.Reseed();
    x = RandomRange(rng, static_cast<int16_t>(span.left), static_cast<int16_t>(span.right));
    top = s.Board.TopBlockRow(x);
  }
  // A generator that keeps naming full columns: take the next column with room.
  while (top == 0) {
    x = static_cast<int16_t>(x == span.right ? span.left : x + 1);
    top = s.Board.TopBlockRow(x);
  }
  s.EnemyTargetX = x;
  s.EnemyTargetY = static_cast<int16_t>(top - 1);
  Place(s, s.EnemyTargetX, s.EnemyTargetY);
  return true;
}

CpuMove ChooseCpuMove(MatchState& s, RandomSource& rng) {
  if (s.MoveRound == 1) {
    if (std::optional<CpuMove> first = ScriptedFirstMove(s, rng)) return *first;
  }
  const bool lines = s.GameMode == 1 || s.GameMode == 2;
  const bool pairs = s.GameMode == 2;
  std::optional<Cell> cell;
  CpuRule rule = CpuRule::kNone;
  if (lines && (cell = ScanLines(s.Board, kCpu, 3, false))) {
    rule = CpuRule::kR1;
  } else if (lines && (cell = ScanLines(s.Board, kPlayer, 3, false))) {
    rule = CpuRule::kR2;
  } else if (pairs && (cell = ScanLines(s.Board, kPlayer, 2, true))) {
    rule = CpuRule::kR3;
  } else if (lines && (cell = NextToLastBlock(s.Board, s.EnemyX, s.EnemyY))) {
    rule = CpuRule::kR4;
  }
  if (cell) {
    s.EnemyTargetX = cell->x;
    s.EnemyTargetY = cell->y;
    Place(s, cell->x, cell->y);
    return CpuMove{rule, cell->x, cell->y};
  }
  if (!RandomDrop(s, rng)) return CpuMove{CpuRule::kNone, -1, -1};
  return CpuMove{CpuRule::kR5, s.EnemyX, s.EnemyY};
}

}  // namespace rv
