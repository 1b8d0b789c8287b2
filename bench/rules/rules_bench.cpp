// The line check and the CPU's choice on dense boards, the slowest cases they meet.

#include <benchmark/benchmark.h>

#include <random>

#include "game/board/four_in_row.h"
#include "game/cpu/cpu_choice.h"

namespace rv {
namespace {

// Pairs of columns alternating by row: no four of either side anywhere, so the scan reads
// the whole board. Rows from `first_row` down are filled; the rows above stay empty.
Board NoFourBoard(int first_row) {
  Board board;
  for (int c = 0; c < kColumns; ++c) {
    for (int r = kRows - 1; r >= first_row; --r) {
      board.Set(c, r, static_cast<int16_t>(1 + (c / 2 + r) % 2));
    }
  }
  return board;
}

Board RandomHalfBoard() {
  std::mt19937 gen(17);
  Board board;
  for (int i = 0; i < kCells / 2; ++i) {
    int c = static_cast<int>(gen() % kColumns);
    while (board.ColumnFull(c)) c = (c + 1) % kColumns;
    board.Set(c, board.LandingRow(c), static_cast<int16_t>(1 + gen() % 2));
  }
  return board;
}

void BM_FindFourFullBoardNoLine(benchmark::State& state) {
  const Board board = NoFourBoard(0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindFour(board, kPlayer));
    benchmark::DoNotOptimize(FindFour(board, kCpu));
  }
  state.SetItemsProcessed(2 * state.iterations());  // items: one scan each
}
BENCHMARK(BM_FindFourFullBoardNoLine);

// One whole choice; the block it places is taken away again so every pass sees the board.
void RunChoice(benchmark::State& state, const Board& board, int16_t mode) {
  MatchState s;
  s.Board = board;
  s.GameMode = mode;
  s.MoveRound = 9;
  s.EnemyX = 20;
  s.EnemyY = static_cast<int16_t>(board.TopBlockRow(20));
  SeededRandom rng(1);
  for (auto _ : state) {
    const CpuMove m = ChooseCpuMove(s, rng);
    benchmark::DoNotOptimize(m);
    s.Board.Set(m.x, m.y, kEmpty);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ChoiceDenseMode2(benchmark::State& state) { RunChoice(state, NoFourBoard(1), 2); }
BENCHMARK(BM_ChoiceDenseMode2);

void BM_ChoiceDenseMode1(benchmark::State& state) { RunChoice(state, NoFourBoard(1), 1); }
BENCHMARK(BM_ChoiceDenseMode1);

void BM_ChoiceDenseMode0RandomDrop(benchmark::State& state) { RunChoice(state, NoFourBoard(1), 0); }
BENCHMARK(BM_ChoiceDenseMode0RandomDrop);

void BM_ChoiceHalfBoardMode2(benchmark::State& state) { RunChoice(state, RandomHalfBoard(), 2); }
BENCHMARK(BM_ChoiceHalfBoardMode2);

// Nothing for R1 to R4 on a board full but for its top row's last cells: every scan runs
// to its end and R5 has to redraw nearly every column.
void BM_ChoiceNearlyFullNothingMatches(benchmark::State& state) {
  Board board = NoFourBoard(0);
  board.Set(0, 0, kEmpty);
  RunChoice(state, board, 2);
}
BENCHMARK(BM_ChoiceNearlyFullNothingMatches);

}  // namespace
}  // namespace rv
