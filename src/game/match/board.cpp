#include "game/match/board.h"

namespace rv {

Board::Board() { top_.fill(kRows); }

void Board::Set(int c, int r, int16_t v) {
  cells_[r * kColumns + c] = v;
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
}

bool Board::IsFull() const {
  for (int16_t v : cells_) {
    if (v == kEmpty) return false;
  }
  return true;
}

}  // namespace rv
