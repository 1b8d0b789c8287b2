#include "game/board/cursor_rule.h"

#include <gtest/gtest.h>

#include "test_boards.h"

namespace rv {
namespace {

struct Cursor {
  int16_t x;
  int16_t y;
};

// Steps the cursor from (x, y) and settles it as the match loop does.
Cursor StepAndSettle(const Board& board, int16_t x, int16_t y, StepDirection step,
                     int16_t first_mover = 1, int16_t move_round = 2) {
  if (step == StepDirection::kLeft) --x;
  if (step == StepDirection::kRight) ++x;
  EXPECT_TRUE(SettleCursor(board, step, first_mover, move_round, x, y));
  return {x, y};
}

TEST(StepFromKeysTest, LeftWinsOverRight) {
  EXPECT_EQ(StepFromKeys(1, 1), StepDirection::kLeft);
  EXPECT_EQ(StepFromKeys(1, 0), StepDirection::kLeft);
  EXPECT_EQ(StepFromKeys(0, 1), StepDirection::kRight);
  EXPECT_EQ(StepFromKeys(0, 0), StepDirection::kNone);
}

TEST(CursorRuleTest, FirstBlockOfARoundThePlayerBeginsGoesAnywhere) {
  Board board;
  Cursor c = StepAndSettle(board, 19, 28, StepDirection::kLeft, 1, 1);
  EXPECT_EQ(c.x, 18);
  EXPECT_EQ(c.y, 28);
  c = StepAndSettle(board, 39, 28, StepDirection::kLeft, 1, 1);
  EXPECT_EQ(c.x, 38);
}

TEST(CursorRuleTest, EmptyToEmptyIsRefusedLaterAndWhenTheCpuBegan) {
  Board board;
  test::Drop(board, 10, kPlayer);
  Cursor c = StepAndSettle(board, 19, 28, StepDirection::kRight, 1, 2);
  EXPECT_EQ(c.x, 19);
  EXPECT_EQ(c.y, 28);
  c = StepAndSettle(board, 19, 28, StepDirection::kLeft, 1, 2);
  EXPECT_EQ(c.x, 19);
  // The CPU began: the rule holds already in the first move pair.
  c = StepAndSettle(board, 19, 28, StepDirection::kLeft, 2, 1);
  EXPECT_EQ(c.x, 19);
}

TEST(CursorRuleTest, StepsIntoAndOutOfStacksAreAllowed) {
  Board board;
  test::Stack(board, 10, {kPlayer, kCpu});
  Cursor c = StepAndSettle(board, 11, 28, StepDirection::kLeft);
  EXPECT_EQ(c.x, 10);
  EXPECT_EQ(c.y, 26);
  c = StepAndSettle(board, c.x, c.y, StepDirection::kLeft);
  EXPECT_EQ(c.x, 9);
  EXPECT_EQ(c.y, 28);
  // From that empty column on into another empty one: refused.
  c = StepAndSettle(board, c.x, c.y, StepDirection::kLeft);
  EXPECT_EQ(c.x, 9);
}

TEST(CursorRuleTest, EdgesKeepTheCursorInTheEdgeColumn) {
  Board board;
  test::Drop(board, 20, kPlayer);
  Cursor c = StepAndSettle(board, 0, 28, StepDirection::kLeft);
  EXPECT_EQ(c.x, 0);
  EXPECT_EQ(c.y, 28);
  c = StepAndSettle(board, 39, 28, StepDirection::kRight);
  EXPECT_EQ(c.x, 39);
  EXPECT_EQ(c.y, 28);
  test::Stack(board, 39, {kCpu, kCpu});
  c = StepAndSettle(board, 39, 26, StepDirection::kRight);
  EXPECT_EQ(c.x, 39);
  EXPECT_EQ(c.y, 26);
}

TEST(CursorRuleTest, AFullColumnCarriesTheCursorOnAndTurnsAtTheEdge) {
  Board board;
  test::Drop(board, 12, kPlayer);
  test::FillColumn(board, 13, kCpu);
  Cursor c = StepAndSettle(board, 12, 27, StepDirection::kRight);
  EXPECT_EQ(c.x, 14);
  EXPECT_EQ(c.y, 28);

  test::FillColumn(board, 38, kCpu);
  test::FillColumn(board, 39, kPlayer);
  test::Stack(board, 37, {kPlayer});
  c = StepAndSettle(board, 37, 27, StepDirection::kRight);
  EXPECT_EQ(c.x, 37);
  EXPECT_EQ(c.y, 27);
}

TEST(CursorRuleTest, AColumnFilledUnderTheCursorMovesItRightOrLeftAtTheEdge) {
  Board board;
  test::FillColumn(board, 5, kCpu);
  test::Stack(board, 6, {kPlayer});
  int16_t x = 5, y = 0;
  ASSERT_TRUE(SettleCursor(board, StepDirection::kNone, 1, 3, x, y));
  EXPECT_EQ(x, 6);
  EXPECT_EQ(y, 27);
  test::FillColumn(board, 39, kCpu);
  x = 39;
  y = 0;
  ASSERT_TRUE(SettleCursor(board, StepDirection::kNone, 1, 3, x, y));
  EXPECT_EQ(x, 38);
  EXPECT_EQ(y, 28);
}

TEST(CursorRuleTest, EveryColumnFullButOneIsFoundFromAnywhere) {
  for (int open = 0; open < kColumns; open += 13) {
    Board board;
    for (int c = 0; c < kColumns; ++c) {
      if (c != open) test::FillColumn(board, c, kPlayer);
    }
    for (int start = 0; start < kColumns; ++start) {
      for (StepDirection step : {StepDirection::kLeft, StepDirection::kRight}) {
        int16_t x = static_cast<int16_t>(start), y = 0;
        ASSERT_TRUE(SettleCursor(board, step, 1, 5, x, y));
        EXPECT_EQ(x, open);
        EXPECT_EQ(y, 28);
      }
    }
  }
}

TEST(CursorRuleTest, AFullBoardEndsTheSearchInsteadOfLoopingForever) {
  Board board;
  for (int c = 0; c < kColumns; ++c) test::FillColumn(board, c, kCpu);
  int16_t x = 20, y = 5;
  EXPECT_FALSE(SettleCursor(board, StepDirection::kRight, 1, 5, x, y));
  EXPECT_GE(x, 0);
  EXPECT_LE(x, 39);
  EXPECT_EQ(y, 0);
}

TEST(CursorRuleTest, SettledCursorIsAlwaysOnALandingCell) {
  std::mt19937 gen(7);
  for (int trial = 0; trial < 300; ++trial) {
    const Board board = test::RandomGravityBoard(gen, trial * 3);
    int16_t x = static_cast<int16_t>(gen() % 42) - 1;
    int16_t y = static_cast<int16_t>(gen() % 29);
    const auto step = static_cast<StepDirection>(gen() % 3);
    ASSERT_TRUE(SettleCursor(board, step, 1, 2, x, y));
    ASSERT_GE(x, 0);
    ASSERT_LE(x, 39);
    EXPECT_EQ(y, board.LandingRow(x));
  }
}

}  // namespace
}  // namespace rv
