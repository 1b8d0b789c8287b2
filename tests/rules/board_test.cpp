#include "game/board/board.h"

#include <gtest/gtest.h>

#include <random>

#include "test_boards.h"

namespace rv {
namespace {

TEST(BoardTest, EmptyBoardLandsOnTheFloor) {
  Board board;
  for (int c = 0; c < kColumns; ++c) {
    EXPECT_EQ(board.TopBlockRow(c), 29);
    EXPECT_EQ(board.LandingRow(c), 28);
    EXPECT_TRUE(board.ColumnEmpty(c));
    EXPECT_FALSE(board.ColumnFull(c));
  }
  EXPECT_FALSE(board.IsFull());
}

TEST(BoardTest, CellsAreStoredRowMajorWithColumnFastest) {
  Board board;
  board.Set(3, 2, kPlayer);
  board.Set(39, 28, kCpu);
  EXPECT_EQ(board.data()[2 * 40 + 3], kPlayer);
  EXPECT_EQ(board.data()[28 * 40 + 39], kCpu);
  EXPECT_EQ(board.At(3, 2), kPlayer);
  EXPECT_EQ(board.At(2, 3), kEmpty);
}

TEST(BoardTest, LandingRowFollowsTheStack) {
  Board board;
  test::Stack(board, 7, {kPlayer, kCpu, kPlayer});
  EXPECT_EQ(board.TopBlockRow(7), 26);
  EXPECT_EQ(board.LandingRow(7), 25);
  EXPECT_FALSE(board.ColumnEmpty(7));
  board.Set(7, 26, kEmpty);  // taking the top block away uncovers the one below
  EXPECT_EQ(board.TopBlockRow(7), 27);
  board.Set(7, 28, kEmpty);  // a hole below the top leaves the top where it is
  EXPECT_EQ(board.TopBlockRow(7), 27);
  EXPECT_TRUE(board.ColumnEmpty(7));
}

TEST(BoardTest, FullColumnsAndFullBoard) {
  Board board;
  test::FillColumn(board, 0, kCpu);
  EXPECT_TRUE(board.ColumnFull(0));
  EXPECT_EQ(board.LandingRow(0), -1);
  EXPECT_EQ(board.TopBlockRow(0), 0);
  for (int c = 1; c < kColumns; ++c) test::FillColumn(board, c, kPlayer);
  EXPECT_TRUE(board.IsFull());
  board.Clear();
  EXPECT_EQ(board, Board());
  EXPECT_EQ(board.LandingRow(0), 28);
}

TEST(BoardTest, FloatingBlockCountsForTopButNotForEmptyColumn) {
  // Hand-made boards may break gravity; the top row is still the first occupied one.
  Board board;
  board.Set(4, 10, kPlayer);
  EXPECT_EQ(board.TopBlockRow(4), 10);
  EXPECT_TRUE(board.ColumnEmpty(4));
  EXPECT_FALSE(board.IsFull());
}

TEST(BoardTest, RowMasksFollowEveryWrite) {
  std::mt19937 gen(1);
  Board board;
  for (int i = 0; i < 5000; ++i) {
    board.Set(static_cast<int>(gen() % kColumns), static_cast<int>(gen() % kRows),
              static_cast<int16_t>(gen() % 3));
  }
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c) {
      EXPECT_EQ((board.RowMask(kPlayer, r) >> c) & 1, board.At(c, r) == kPlayer ? 1u : 0u);
      EXPECT_EQ((board.RowMask(kCpu, r) >> c) & 1, board.At(c, r) == kCpu ? 1u : 0u);
    }
    EXPECT_EQ(board.RowMask(kPlayer, r) >> kColumns, 0u);
  }
  board.Clear();
  for (int r = 0; r < kRows; ++r) EXPECT_EQ(board.RowMask(kCpu, r) | board.RowMask(kPlayer, r), 0u);
}

}  // namespace
}  // namespace rv
