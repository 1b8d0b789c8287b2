#pragma once
// Helpers that build boards for the rule tests.

#include <cstdint>
#include <random>

#include "game/board/board.h"

namespace rv::test {

// Drops a block of `side` into column c; returns its row.
inline int Drop(Board& board, int c, int16_t side) {
  const int r = board.LandingRow(c);
  board.Set(c, r, side);
  return r;
}

// Stacks the sides bottom-up in column c, first element lowest.
inline void Stack(Board& board, int c, std::initializer_list<int16_t> sides) {
  for (int16_t s : sides) Drop(board, c, s);
}

inline void FillColumn(Board& board, int c, int16_t side) {
  while (board.LandingRow(c) >= 0) Drop(board, c, side);
}

// A board grown by gravity: `blocks` drops of random sides into random non-full columns.
inline Board RandomGravityBoard(std::mt19937& gen, int blocks) {
  Board board;
  std::uniform_int_distribution<int> col(0, kColumns - 1);
  std::uniform_int_distribution<int> side(1, 2);
  for (int i = 0; i < blocks && !board.IsFull(); ++i) {
    int c = col(gen);
    while (board.ColumnFull(c)) c = (c + 1) % kColumns;
    Drop(board, c, static_cast<int16_t>(side(gen)));
  }
  return board;
}

}  // namespace rv::test
