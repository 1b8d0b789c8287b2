#include "game/cpu/cpu_choice.h"

#include <gtest/gtest.h>

#include <set>

#include "fake_random.h"
#include "game/board/four_in_row.h"
#include "test_boards.h"

namespace rv {
namespace {

// The line scan written out origin by origin with the direction table as the rules state it;
// the scan under test must find the same cell.
struct ScanDir {
  int dx, dy, x_lo, x_hi, y_lo, y_hi;
};
constexpr ScanDir kThree[7] = {{1, 0, 1, 37, 0, 28},   {0, 1, 0, 39, 1, 26},  {-1, 0, 2, 38, 0, 28},
                               {-1, -1, 2, 38, 2, 27}, {1, -1, 1, 37, 2, 27}, {1, 1, 1, 37, 1, 26},
                               {-1, 1, 2, 38, 1, 26}};
constexpr ScanDir kTwo[7] = {{1, 0, 1, 38, 0, 28},   {0, 1, 0, 39, 1, 27},  {-1, 0, 1, 38, 0, 28},
                             {-1, -1, 1, 38, 1, 27}, {1, -1, 1, 38, 1, 27}, {1, 1, 1, 38, 1, 27},
                             {-1, 1, 1, 38, 1, 27}};

bool LandingByColumnScan(const Board& b, int x, int y) {
  int r = 0;
  while (r < kRows && b.At(x, r) == kEmpty) ++r;
  return y == r - 1;
}

std::optional<Cell> LiteralScan(const Board& b, int16_t value, int n, bool pair_exception) {
  const ScanDir* dirs = n == 3 ? kThree : kTwo;
  for (int x = 0; x < kColumns; ++x) {
    for (int y = 0; y < kRows; ++y) {
      if (b.At(x, y) != value) continue;
      for (int d = 0; d < 7; ++d) {
        const ScanDir& s = dirs[d];
        if (x < s.x_lo || x > s.x_hi || y < s.y_lo || y > s.y_hi) continue;
        bool run = true;
        for (int k = 1; k < n; ++k) {
          const int16_t v = b.At(x + k * s.dx, y + k * s.dy);
          run = run && (pair_exception && d == 5 ? v != kEmpty : v == value);
        }
        if (run && LandingByColumnScan(b, x - s.dx, y - s.dy)) {
          return Cell{static_cast<int16_t>(x - s.dx), static_cast<int16_t>(y - s.dy)};
        }
      }
    }
  }
  return std::nullopt;
}

MatchState LaterMove(int16_t mode) {
  MatchState s;
  s.GameMode = mode;
  s.MoveRound = 3;
  s.FirstMover = 1;
  return s;
}

void ExpectMove(const CpuMove& m, CpuRule rule, int x, int y) {
  EXPECT_EQ(CpuRuleName(m.rule), std::string(CpuRuleName(rule)));
  EXPECT_EQ(m.x, x);
  EXPECT_EQ(m.y, y);
}

// The CPU's first move of a round the player began with a block on the floor of `column`.
MatchState AfterPlayersFirstBlock(int16_t column) {
  MatchState s;
  s.MoveRound = 1;
  s.FirstMover = 1;
  s.CharaLastX = column;
  s.Board.Set(column, 28, kPlayer);
  return s;
}

CpuMove ChooseWithSeed(MatchState& s, uint64_t seed) {
  SeededRandom rng(seed);
  return ChooseCpuMove(s, rng);
}

TEST(CpuFirstMoveTest, BesideThePlayersBlockAtTheEdgesWhateverTheDraws) {
  for (float u : {0.0f, 0.3f, 0.7f, 0.99f}) {
    MatchState s = AfterPlayersFirstBlock(0);
    test::ScriptedRandom rng({u, 0.1f, 0.9f});
    ExpectMove(ChooseCpuMove(s, rng), CpuRule::kFirst, 1, 28);
    EXPECT_EQ(s.Board.At(1, 28), kCpu);

    MatchState t = AfterPlayersFirstBlock(39);
    test::ScriptedRandom rng2({u, 0.9f, 0.1f});
    ExpectMove(ChooseCpuMove(t, rng2), CpuRule::kFirst, 38, 28);
    EXPECT_EQ(t.EnemyX, 38);
    EXPECT_EQ(t.EnemyY, 28);
  }
}

TEST(CpuFirstMoveTest, ABlockOffTheBoardIsDrawnAgainEvenFromAStuckSource) {
  MatchState s = AfterPlayersFirstBlock(0);
  test::ScriptedRandom stuck({0.0f});  // always names side 1, which is off the board
  ExpectMove(ChooseCpuMove(s, stuck), CpuRule::kFirst, 1, 28);
  EXPECT_GT(stuck.draws, 1);
}

TEST(CpuFirstMoveTest, BothSidesOfAMiddleBlockOccur) {
  std::set<int> columns;
  for (uint64_t seed = 0; seed < 64; ++seed) {
    MatchState s = AfterPlayersFirstBlock(20);
    const CpuMove m = ChooseWithSeed(s, seed);
    EXPECT_EQ(m.rule, CpuRule::kFirst);
    columns.insert(m.x);
  }
  EXPECT_EQ(columns, (std::set<int>{19, 21}));
}

TEST(CpuFirstMoveTest, TheCpuBeginningPutsThePlayersCursorAboveItsBlock) {
  std::set<int> columns;
  for (uint64_t seed = 0; seed < 400; ++seed) {
    MatchState s;
    s.MoveRound = 1;
    s.FirstMover = 2;
    const CpuMove m = ChooseWithSeed(s, seed);
    ASSERT_EQ(m.rule, CpuRule::kFirst);
    EXPECT_EQ(m.y, 28);
    EXPECT_EQ(s.CharaX, m.x);
    EXPECT_EQ(s.CharaY, 27);
    EXPECT_EQ(s.Board.At(m.x, 28), kCpu);
    columns.insert(m.x);
  }
  EXPECT_EQ(columns.size(), 40u);
}

TEST(CpuFirstMoveTest, AnOccupiedScriptedCellIsNeverOverwritten) {
  // Hand-made: move 1, but the cell beside the player's block is taken.
  MatchState s = AfterPlayersFirstBlock(0);
  s.Board.Set(1, 28, kPlayer);
  const CpuMove m = ChooseWithSeed(s, 3);
  EXPECT_EQ(s.Board.At(1, 28), kPlayer);
  EXPECT_NE(m.rule, CpuRule::kFirst);
  EXPECT_EQ(s.Board.At(m.x, m.y), kCpu);
}

TEST(CpuRulesTest, ModeZeroNeverCompletesOrBlocks) {
  MatchState s = LaterMove(0);
  for (int c = 10; c < 13; ++c) test::Drop(s.Board, c, kCpu);
  for (int c = 20; c < 23; ++c) test::Drop(s.Board, c, kPlayer);
  for (uint64_t seed = 0; seed < 50; ++seed) {
    MatchState t = s;
    const CpuMove m = ChooseWithSeed(t, seed);
    EXPECT_EQ(m.rule, CpuRule::kR5);
    EXPECT_GE(m.x, 9);
    EXPECT_LE(m.x, 23);
    EXPECT_EQ(m.y, s.Board.LandingRow(m.x));
  }
}

TEST(CpuRulesTest, CompletingItsOwnThreeComesBeforeBlocking) {
  MatchState s = LaterMove(1);
  for (int c = 20; c < 23; ++c) test::Drop(s.Board, c, kPlayer);  // open at 19 and 23
  for (int c = 30; c < 33; ++c) test::Drop(s.Board, c, kCpu);     // open at 29 and 33
  SeededRandom rng(1);
  ExpectMove(ChooseCpuMove(s, rng), CpuRule::kR1, 29, 28);

  MatchState t = LaterMove(1);
  for (int c = 20; c < 23; ++c) test::Drop(t.Board, c, kPlayer);
  ExpectMove(ChooseCpuMove(t, rng), CpuRule::kR2, 19, 28);
}

TEST(CpuRulesTest, AnOpenEndOverAHoleIsPassedOverForTheOtherEnd) {
  // The player's three on row 27 from column 11 to 13; column 10 has nothing under its
  // row 27, so the left end is not a landing cell; the right end, on (14, 28), is.
  MatchState s = LaterMove(1);
  test::Stack(s.Board, 11, {kCpu, kPlayer});
  test::Stack(s.Board, 12, {kPlayer, kPlayer});
  test::Stack(s.Board, 13, {kCpu, kPlayer});
  test::Drop(s.Board, 14, kPlayer);
  SeededRandom rng(1);
  ExpectMove(ChooseCpuMove(s, rng), CpuRule::kR2, 14, 27);
}

TEST(CpuRulesTest, VerticalThreesOnlyOnTopAndGapsIgnored) {
  MatchState s = LaterMove(1);
  test::Stack(s.Board, 5, {kCpu, kCpu, kCpu});
  SeededRandom rng(1);
  ExpectMove(ChooseCpuMove(s, rng), CpuRule::kR1, 5, 25);

  MatchState gap = LaterMove(2);
  for (int c : {3, 4, 6}) test::Drop(gap.Board, c, kPlayer);
  gap.EnemyX = 30;  // R4 finds nothing on the floor either
  const CpuMove m = ChooseCpuMove(gap, rng);
  EXPECT_NE(m.rule, CpuRule::kR2);
  EXPECT_NE(m.rule, CpuRule::kR1);
}

TEST(CpuRulesTest, PairsAreBlockedOnlyInModeTwo) {
  MatchState s = LaterMove(1);
  test::Drop(s.Board, 10, kPlayer);
  test::Drop(s.Board, 11, kPlayer);
  s.EnemyX = 30;
  SeededRandom rng(1);
  EXPECT_EQ(ChooseCpuMove(s, rng).rule, CpuRule::kR5);

  MatchState t = LaterMove(2);
  test::Drop(t.Board, 10, kPlayer);
  test::Drop(t.Board, 11, kPlayer);
  ExpectMove(ChooseCpuMove(t, rng), CpuRule::kR3, 9, 28);
}

TEST(CpuRulesTest, PairRuleTakesAnyBlockDiagonallyBelowRight) {
  // Player block at (10, 27) on a CPU block; the CPU block at (11, 28) is diagonally below
  // right of it, so the cell diagonally above left, (9, 26), is played when it is a landing
  // cell. Column 9 holds two blocks, so (9, 26) is one; no other pair of the player exists.
  MatchState s = LaterMove(2);
  test::Stack(s.Board, 10, {kCpu, kPlayer});
  test::Drop(s.Board, 11, kCpu);
  test::Stack(s.Board, 9, {kPlayer, kCpu});
  s.EnemyX = 30;
  SeededRandom rng(1);
  ExpectMove(ChooseCpuMove(s, rng), CpuRule::kR3, 9, 26);

  MatchState t = s;  // the same shape in mode 1 is not a pair at all
  t.GameMode = 1;
  EXPECT_NE(ChooseCpuMove(t, rng).rule, CpuRule::kR3);
}

TEST(CpuRulesTest, NextToTheLastBlockAvoidsTheOuterRingAndKeepsItsOrder) {
  // The last CPU block on the floor in column 1: its only landing neighbours are on row 28
  // (never taken) and (1, 27) above it.
  MatchState s = LaterMove(1);
  test::Drop(s.Board, 1, kCpu);
  s.EnemyX = 1;
  s.EnemyY = 28;
  SeededRandom rng(1);
  ExpectMove(ChooseCpuMove(s, rng), CpuRule::kR4, 1, 27);

  // In column 0 the cell above is on the outer ring: R4 passes and R5 drops.
  MatchState edge = LaterMove(1);
  test::Drop(edge.Board, 0, kCpu);
  edge.EnemyX = 0;
  edge.EnemyY = 28;
  EXPECT_EQ(ChooseCpuMove(edge, rng).rule, CpuRule::kR5);

  // Left column first: with landing cells at (9, 25) and (11, 25) around (10, 25)'s
  // neighbourhood, the left one wins.
  MatchState order = LaterMove(1);
  test::Stack(order.Board, 9, {kPlayer, kCpu, kPlayer});
  test::Stack(order.Board, 10, {kPlayer, kCpu, kCpu, kPlayer});
  test::Stack(order.Board, 11, {kCpu, kPlayer, kPlayer});
  order.EnemyX = 10;
  order.EnemyY = 26;
  ExpectMove(ChooseCpuMove(order, rng), CpuRule::kR4, 9, 25);
}

TEST(CpuRulesTest, RandomDropSpanRedrawsAndReseeds) {
  MatchState s = LaterMove(0);
  test::Drop(s.Board, 10, kPlayer);
  test::FillColumn(s.Board, 11, kCpu);
  test::Drop(s.Board, 12, kPlayer);
  // Span 9..13. Draw 11 (full) first, then 13.
  test::ScriptedRandom rng({test::UnitFor(9, 13, 11), test::UnitFor(9, 13, 13)});
  ExpectMove(ChooseCpuMove(s, rng), CpuRule::kR5, 13, 28);
  EXPECT_EQ(rng.draws, 2);
  EXPECT_EQ(rng.reseeds, 2);
  EXPECT_EQ(s.EnemyTargetX, 13);
  EXPECT_EQ(s.EnemyTargetY, 28);
}

TEST(CpuRulesTest, RandomDropEndsEvenWhenTheSourceKeepsNamingAFullColumn) {
  MatchState s = LaterMove(0);
  test::FillColumn(s.Board, 0, kCpu);
  test::Drop(s.Board, 1, kPlayer);
  test::ScriptedRandom stuck({0.0f});  // always column 0 of the span 0..2
  const CpuMove m = ChooseCpuMove(s, stuck);
  EXPECT_EQ(m.rule, CpuRule::kR5);
  EXPECT_NE(m.x, 0);
  EXPECT_EQ(s.Board.At(m.x, m.y), kCpu);
}

TEST(CpuRulesTest, AFullBoardGetsNoMoveAndStaysUnchanged) {
  MatchState s = LaterMove(2);
  for (int c = 0; c < kColumns; ++c) test::FillColumn(s.Board, c, c % 3 ? kPlayer : kCpu);
  const Board before = s.Board;
  SeededRandom rng(1);
  EXPECT_EQ(ChooseCpuMove(s, rng).rule, CpuRule::kNone);
  EXPECT_EQ(s.Board, before);
}

TEST(CpuScanTest, AgreesWithTheOriginByOriginScanOnRandomBoards) {
  std::mt19937 gen(99);
  int found = 0;
  for (int trial = 0; trial < 600; ++trial) {
    const Board b = test::RandomGravityBoard(gen, 10 + trial * 2);
    struct Setting {
      int16_t value;
      int n;
      bool exception;
    };
    for (Setting st :
         {Setting{kCpu, 3, false}, Setting{kPlayer, 3, false}, Setting{kPlayer, 2, true}}) {
      const auto expected = LiteralScan(b, st.value, st.n, st.exception);
      const auto got = ScanLines(b, st.value, st.n, st.exception);
      ASSERT_EQ(expected.has_value(), got.has_value()) << "trial " << trial;
      if (expected) {
        ++found;
        ASSERT_EQ(expected->x, got->x) << "trial " << trial;
        ASSERT_EQ(expected->y, got->y) << "trial " << trial;
      }
    }
  }
  EXPECT_GT(found, 300);
}

TEST(CpuScanTest, WholeRoundsKeepEveryCpuBlockOnALandingCell) {
  std::mt19937 gen(5);
  for (int game = 0; game < 60; ++game) {
    MatchState s;
    s.GameMode = static_cast<int16_t>(game % 3);
    s.FirstMover = static_cast<int16_t>(1 + game % 2);
    SeededRandom rng(static_cast<uint64_t>(game));
    bool cpu_turn = s.FirstMover == 2;
    for (int move = 0; move < kCells && !BoardFull(s.Board); ++move) {
      if (cpu_turn) {
        const Board before = s.Board;
        const CpuMove m = ChooseCpuMove(s, rng);
        ASSERT_NE(m.rule, CpuRule::kNone);
        ASSERT_EQ(m.y, before.LandingRow(m.x));
        ASSERT_EQ(s.EnemyX, m.x);
        ASSERT_EQ(s.EnemyY, m.y);
        if (CheckFourRule(s, kCpu)) break;
      } else {
        int c = static_cast<int>(gen() % kColumns);
        while (s.Board.ColumnFull(c)) c = (c + 1) % kColumns;
        s.CharaLastX = static_cast<int16_t>(c);
        s.CharaLastY = static_cast<int16_t>(test::Drop(s.Board, c, kPlayer));
        if (CheckFourRule(s, kPlayer)) break;
      }
      cpu_turn = !cpu_turn;
    }
  }
}

}  // namespace
}  // namespace rv
