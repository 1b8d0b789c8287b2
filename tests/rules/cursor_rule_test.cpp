#include "game/board/cursor_rule.h"

#include <gtest/gtest.h>

#include <ostream>

#include "test_boards.h"

namespace rv {
namespace {

struct Cursor {
  int16_t x;
  int16_t y;
  bool operator==(const Cursor&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Cursor& c) {
    return out << '(' << c.x << ", " << c.y << ')';
  }
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
  EXPECT_EQ(StepAndSettle(board, 19, 28, StepDirection::kLeft, 1, 1), (Cursor{18, 28}));
  EXPECT_EQ(StepAndSettle(board, 39, 28, StepDirection::kLeft, 1, 1).x, 38);
}

TEST(CursorRuleTest, EmptyToEmptyIsRefusedLaterAndWhenTheCpuBegan) {
  Board board;
  test::Drop(board, 10, kPlayer);
  EXPECT_EQ(StepAndSettle(board, 19, 28, StepDirection::kRight, 1, 2), (Cursor{19, 28}));
  EXPECT_EQ(StepAndSettle(board, 19, 28, StepDirection::kLeft, 1, 2).x, 19);
  // The CPU began: the rule holds already in the first move pair.
  EXPECT_EQ(StepAndSettle(board, 19, 28, StepDirection::kLeft, 2, 1).x, 19);
}

TEST(CursorRuleTest, StepsIntoAndOutOfStacksAreAllowed) {
  Board board;
  test::Stack(board, 10, {kPlayer, kCpu});
  EXPECT_EQ(StepAndSettle(board, 11, 28, StepDirection::kLeft), (Cursor{10, 26}));
  EXPECT_EQ(StepAndSettle(board, 10, 26, StepDirection::kLeft), (Cursor{9, 28}));
  // From that empty column on into another empty one: refused.
  EXPECT_EQ(StepAndSettle(board, 9, 28, StepDirection::kLeft).x, 9);
}

TEST(CursorRuleTest, EdgesKeepTheCursorInTheEdgeColumn) {
  Board board;
  test::Drop(board, 20, kPlayer);
  EXPECT_EQ(StepAndSettle(board, 0, 28, StepDirection::kLeft), (Cursor{0, 28}));
  EXPECT_EQ(StepAndSettle(board, 39, 28, StepDirection::kRight), (Cursor{39, 28}));
  test::Stack(board, 39, {kCpu, kCpu});
  EXPECT_EQ(StepAndSettle(board, 39, 26, StepDirection::kRight), (Cursor{39, 26}));
}

TEST(CursorRuleTest, AFullColumnCarriesTheCursorOnAndTurnsAtTheEdge) {
  Board board;
  test::Drop(board, 12, kPlayer);
  test::FillColumn(board, 13, kCpu);
  EXPECT_EQ(StepAndSettle(board, 12, 27, StepDirection::kRight), (Cursor{14, 28}));

  test::FillColumn(board, 38, kCpu);
  test::FillColumn(board, 39, kPlayer);
  test::Stack(board, 37, {kPlayer});
  EXPECT_EQ(StepAndSettle(board, 37, 27, StepDirection::kRight), (Cursor{37, 27}));
}

TEST(CursorRuleTest, AColumnFilledUnderTheCursorMovesItRightOrLeftAtTheEdge) {
  Board board;
  test::FillColumn(board, 5, kCpu);
  test::Stack(board, 6, {kPlayer});
  int16_t x = 5, y = 0;
  ASSERT_TRUE(SettleCursor(board, StepDirection::kNone, 1, 3, x, y));
  EXPECT_EQ((Cursor{x, y}), (Cursor{6, 27}));
  test::FillColumn(board, 39, kCpu);
  x = 39;
  y = 0;
  ASSERT_TRUE(SettleCursor(board, StepDirection::kNone, 1, 3, x, y));
  EXPECT_EQ((Cursor{x, y}), (Cursor{38, 28}));
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
        EXPECT_EQ((Cursor{x, y}), (Cursor{static_cast<int16_t>(open), 28}));
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
