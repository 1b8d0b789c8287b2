#include "game/board/four_in_row.h"

#include <gtest/gtest.h>

#include "test_boards.h"

namespace rv {
namespace {

// An independent oracle: every window of four cells along the four axes.
bool AnyFourByWindows(const Board& board, int16_t side) {
  const int axes[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  for (int c = 0; c < kColumns; ++c) {
    for (int r = 0; r < kRows; ++r) {
      for (const auto& a : axes) {
        int k = 0;
        while (k < 4 && Board::OnBoard(c + k * a[0], r + k * a[1]) &&
               board.At(c + k * a[0], r + k * a[1]) == side) {
          ++k;
        }
        if (k == 4) return true;
      }
    }
  }
  return false;
}

void SetLine(Board& board, int c, int r, int dx, int dy, int n, int16_t side) {
  for (int k = 0; k < n; ++k) board.Set(c + k * dx, r + k * dy, side);
}

TEST(FindFourTest, LinesAtTheEdgesAreFound) {
  Board right_edge;
  SetLine(right_edge, 36, 28, 1, 0, 4, kPlayer);
  EXPECT_TRUE(FindFour(right_edge, kPlayer));
  EXPECT_FALSE(FindFour(right_edge, kCpu));

  Board top_rows;
  SetLine(top_rows, 5, 0, 0, 1, 4, kCpu);
  EXPECT_TRUE(FindFour(top_rows, kCpu));

  Board corner_diagonal;
  SetLine(corner_diagonal, 36, 3, 1, -1, 4, kPlayer);  // up-right into (39, 0)
  EXPECT_TRUE(FindFour(corner_diagonal, kPlayer));
}

TEST(FindFourTest, GapsAndOtherSidesBreakALine) {
  Board gap;
  for (int c : {3, 4, 6, 7}) gap.Set(c, 28, kPlayer);
  EXPECT_FALSE(FindFour(gap, kPlayer));

  Board mixed;
  SetLine(mixed, 10, 28, 1, 0, 3, kPlayer);
  mixed.Set(13, 28, kCpu);
  EXPECT_FALSE(FindFour(mixed, kPlayer));
  EXPECT_FALSE(FindFour(mixed, kCpu));

  Board five;
  SetLine(five, 20, 20, -1, 1, 5, kCpu);
  EXPECT_TRUE(FindFour(five, kCpu));
}

// The first four FindFirstFour names for `side`: its origin and its direction.
void ExpectFirstFour(const Board& board, int16_t side, int c, int r, int d) {
  const auto hit = FindFirstFour(board, side);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->c, c);
  EXPECT_EQ(hit->r, r);
  EXPECT_EQ(hit->d, d);
}

TEST(FindFourTest, FirstHitFollowsColumnsRowsAndDirectionOrder) {
  // A rising diagonal is found from its lowest, leftmost block going up-right (d 5).
  Board rising;
  SetLine(rising, 0, 28, 1, -1, 4, kPlayer);
  ExpectFirstFour(rising, kPlayer, 0, 28, 5);

  // A vertical line is found from its top block going down (d 2).
  Board vertical;
  SetLine(vertical, 8, 25, 0, 1, 4, kCpu);
  ExpectFirstFour(vertical, kCpu, 8, 25, 2);

  // Two lines: the one whose origin lies in the lower column wins, going right (d 1).
  Board two;
  SetLine(two, 30, 25, 0, 1, 4, kPlayer);
  SetLine(two, 5, 28, 1, 0, 4, kPlayer);
  ExpectFirstFour(two, kPlayer, 5, 28, 1);
}

TEST(FindFourTest, AgreesWithTheWindowOracleOnRandomBoards) {
  std::mt19937 gen(11);
  int with_line = 0;
  for (int trial = 0; trial < 400; ++trial) {
    const Board board = test::RandomGravityBoard(gen, 20 + trial * 3);
    for (int16_t side : {kPlayer, kCpu}) {
      const bool expected = AnyFourByWindows(board, side);
      with_line += expected;
      ASSERT_EQ(FindFour(board, side), expected) << "trial " << trial << " side " << side;
    }
  }
  EXPECT_GT(with_line, 50);  // the sample holds lines, not only empty boards
}

TEST(FindFourTest, FirstHitIsARealLineOnBoardsWithoutGravity) {
  // Hand-made boards may float blocks; the check must still read only the board's cells.
  std::mt19937 gen(23);
  for (int trial = 0; trial < 300; ++trial) {
    Board board;
    const int blocks = 100 + trial * 3;
    for (int i = 0; i < blocks; ++i) {
      board.Set(static_cast<int>(gen() % kColumns), static_cast<int>(gen() % kRows),
                static_cast<int16_t>(gen() % 3));
    }
    for (int16_t side : {kPlayer, kCpu}) {
      const bool expected = AnyFourByWindows(board, side);
      ASSERT_EQ(FindFour(board, side), expected) << "trial " << trial;
      const auto hit = FindFirstFour(board, side);
      ASSERT_EQ(hit.has_value(), expected);
      if (!hit) continue;
      const LineDirection d = kLineDirections[hit->d - 1];
      for (int k = 0; k < 4; ++k) {
        ASSERT_TRUE(Board::OnBoard(hit->c + k * d.dx, hit->r + k * d.dy));
        EXPECT_EQ(board.At(hit->c + k * d.dx, hit->r + k * d.dy), side);
      }
    }
  }
}

TEST(CheckFourRuleTest, MoveRoundCountsMovePairsOfTheSecondMover) {
  struct Order {
    int16_t first_mover;
    int16_t first, second;
  };
  for (const Order o : {Order{1, kPlayer, kCpu}, Order{2, kCpu, kPlayer}}) {
    SCOPED_TRACE(o.first_mover);
    MatchState s;
    s.FirstMover = o.first_mover;
    s.MoveRound = 1;
    test::Drop(s.Board, 10, o.first);
    EXPECT_FALSE(CheckFourRule(s, o.first));
    EXPECT_EQ(s.MoveRound, 1);
    test::Drop(s.Board, 11, o.second);
    EXPECT_FALSE(CheckFourRule(s, o.second));
    EXPECT_EQ(s.MoveRound, 2);
  }
}

TEST(CheckFourRuleTest, AWinningMoveDoesNotCountAndMoveRoundIsTheWinnersBlockCount) {
  // The player begins and wins with the fourth block: MoveRound is 4 then.
  MatchState s;
  s.FirstMover = 1;
  for (int k = 0; k < 4; ++k) {
    test::Drop(s.Board, 10 + k, kPlayer);
    const bool won = CheckFourRule(s, kPlayer);
    EXPECT_EQ(won, k == 3);
    if (won) break;
    test::Drop(s.Board, 30 + k, kCpu);
    EXPECT_FALSE(CheckFourRule(s, kCpu));
  }
  EXPECT_EQ(s.MoveRound, 4);
  EXPECT_TRUE(MovesSecond(kPlayer, 2));
  EXPECT_FALSE(MovesSecond(kPlayer, 1));
  EXPECT_TRUE(MovesSecond(kCpu, 1));
}

TEST(BoardFullTest, OneEmptyCellAnywhereIsNotFull) {
  Board board;
  for (int c = 0; c < kColumns; ++c) test::FillColumn(board, c, (c / 2) % 2 ? kCpu : kPlayer);
  EXPECT_TRUE(BoardFull(board));
  board.Set(39, 0, kEmpty);
  EXPECT_FALSE(BoardFull(board));
  board.Set(39, 0, kCpu);
  board.Set(17, 12, kEmpty);  // a hand-made hole below a full column's top
  EXPECT_FALSE(BoardFull(board));
}

}  // namespace
}  // namespace rv
