#include "game/board/board.h"

namespace rv {

Board::Board() { top_.fill(kRows); }

void Board::Set(int c, int r, int16_t v) {
  cells_[r * kColumns + c] = v;
  const uint64_t bit = uint64_t{1} << c;
  player_rows_[r] = v == kPlayer ? player_rows_[r] | bit : player_rows_[r] & ~bit;
  cpu_rows_[r] = v == kCpu ? cpu_rows_[r] | bit : cpu_rows_[r] & ~bit;
  if (v != kEmpty) {
    if (r < top_[c]) top_[c] = static_cast<int8_t>(r);
    return;
  }
  if (r != top_[c]) return;
  // The top block was removed: the next occupied cell below becomes the top.
  int next = r + 1;
  while (next < kRows && At(c, next) == kEmpty) ++next;
  top_[c] = static_cast<int8_t>(next);
}

void Board::Clear() {
  cells_.fill(kEmpty);
  top_.fill(kRows);
  player_rows_.fill(0);
  cpu_rows_.fill(0);
}

bool Board::IsFull() const {
  for (int16_t v : cells_) {
    if (v == kEmpty) return false;
  }
  return true;
}

}  // namespace rv
