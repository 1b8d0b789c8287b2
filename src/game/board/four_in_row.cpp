#include "game/board/four_in_row.h"

namespace rv {

namespace {

// Origins from which the three further cells of direction d lie on the board.
struct OriginRange {
  int c_lo, c_hi, r_lo, r_hi;
};

constexpr OriginRange RangeFor(LineDirection d) {
  OriginRange range{0, kColumns - 1, 0, kRows - 1};
  if (d.dx > 0) range.c_hi -= 3;
  if (d.dx < 0) range.c_lo += 3;
  if (d.dy > 0) range.r_hi -= 3;
  if (d.dy < 0) range.r_lo += 3;
  return range;
}

bool RunFrom(const int16_t* cells, int c, int r, LineDirection d, int16_t side) {
  const int stride = d.dy * kColumns + d.dx;
  const int16_t* p = cells + r * kColumns + c;
  return p[stride] == side && p[2 * stride] == side && p[3 * stride] == side;
}

}  // namespace

std::optional<LineHit> FindFirstFour(const Board& board, int16_t side) {
  if (!FindFour(board, side)) return std::nullopt;
  const int16_t* cells = board.data();
  for (int c = 0; c < kColumns; ++c) {
    // A stack never holds blocks above its top, so rows above it hold no origin.
    for (int r = board.TopBlockRow(c); r < kRows; ++r) {
      if (cells[r * kColumns + c] != side) continue;
      for (int d = 0; d < 7; ++d) {
        const OriginRange range = RangeFor(kLineDirections[d]);
        if (c < range.c_lo || c > range.c_hi || r < range.r_lo || r > range.r_hi) continue;
        if (RunFrom(cells, c, r, kLineDirections[d], side)) return LineHit{c, r, d + 1};
      }
    }
  }
  return std::nullopt;
}

// Whether a line exists does not depend on the order of the scan, so the answer comes from
// whole rows at once: bit c of a shifted row lines up with cell c + k of that row.
bool FindFour(const Board& board, int16_t side) {
  uint64_t rows[kRows];
  for (int r = 0; r < kRows; ++r) rows[r] = board.RowMask(side, r);
  for (int r = 0; r < kRows; ++r) {
    const uint64_t m = rows[r];
    if (m & (m >> 1) & (m >> 2) & (m >> 3)) return true;
    if (r + 3 >= kRows) continue;
    if (m & rows[r + 1] & rows[r + 2] & rows[r + 3]) return true;
    if (m & (rows[r + 1] >> 1) & (rows[r + 2] >> 2) & (rows[r + 3] >> 3)) return true;
    if (m & (rows[r + 1] << 1) & (rows[r + 2] << 2) & (rows[r + 3] << 3)) return true;
  }
  return false;
}

bool MovesSecond(int16_t side, int16_t FirstMover) {
  return (side == kPlayer && FirstMover == 2) || (side == kCpu && FirstMover == 1);
}

bool CheckFourRule(MatchState& s, int16_t side) {
  if (FindFour(s.Board, side)) return true;
  if (MovesSecond(side, s.FirstMover)) ++s.MoveRound;
  return false;
}

bool BoardFull(const Board& board) {
  // Column by column, returning at the first empty cell.
  for (int c = 0; c < kColumns; ++c) {
    if (board.TopBlockRow(c) > 0) return false;
  }
  return board.IsFull();
}

}  // namespace rv
