// The match's pieces on a prepared game: the board-full check and the line check closing a
// round, the CPU's turn and walk, the cursor rule's key flags, the blocks and the windows.

#include <gtest/gtest.h>

#include <cstdlib>

#include "game/board/four_in_row.h"
#include "game/match/chara_cursor.h"
#include "game/match/enemy_turn.h"
#include "game/match/match_drawing.h"
#include "game/match/round_end.h"
#include "match_harness.h"
#include "platform/headless/headless_audio.h"

namespace rv::test {
namespace {

// No four in a row of either side anywhere: pairs of columns alternate with every row.
int16_t PatternValue(int c, int r) { return static_cast<int16_t>((c / 2 + r) % 2 + 1); }

class MatchPieces : public ::testing::Test {
 protected:
  MatchPieces() : h_(21) {}

  MatchState& m() { return h_.game().match; }

  // A match of `rounds` in its first round, as StartRound leaves it.
  void BeginMatch(int16_t rounds) {
    m().RoundCount = rounds;
    m().RoundNo = 1;
    m().RoundTime.assign(static_cast<std::size_t>(rounds), 0);
    m().PlayerWon.assign(static_cast<std::size_t>(rounds), 0);
    m().RoundMoves.assign(static_cast<std::size_t>(rounds), 0);
    m().RoundStartTick = h_.game().Now();
    m().MoveRound = 7;
    // The next round's roulette (after the 2.5 s banner and the 2 s title) stops on X,
    // held long enough to be seen whatever the test does to the clock.
    h_.platform().ScheduleKeyPress(h_.platform().Now() + 3000, vk::kX, 5000);
  }

  void FillWithPattern() {
    for (int c = 0; c < kColumns; ++c) {
      for (int r = 0; r < kRows; ++r) m().Board.Set(c, r, PatternValue(c, r));
    }
  }

  MatchHarness h_;
};

TEST_F(MatchPieces, FullBoardWithoutALineIsARoundForTheCpu) {
  BeginMatch(3);
  FillWithPattern();
  m().Board.Set(7, 0, kEmpty);
  EXPECT_EQ(CheckBoardFull(h_.game()), RoundEvent::kNone);
  EXPECT_EQ(m().CpuWins, 0);

  m().Board.Set(7, 0, kPlayer);  // the player's block fills the board
  ASSERT_FALSE(FindFour(m().Board, kPlayer));
  h_.platform().clock().Advance(1234);
  EXPECT_EQ(CheckBoardFull(h_.game()), RoundEvent::kRoundEnded);
  EXPECT_EQ(m().CpuWins, 1);
  EXPECT_EQ(m().PlayerWins, 0);
  EXPECT_EQ(m().PlayerWon[0], 0);
  EXPECT_EQ(m().RoundMoves[0], 7);
  EXPECT_EQ(m().RoundTime[0], 1234);  // stamped before the banner's pause
  // The next round is set up: empty board, counter back to 1.
  EXPECT_EQ(m().RoundNo, 2);
  EXPECT_EQ(m().MoveRound, 1);
  EXPECT_FALSE(m().Board.IsFull());
  EXPECT_EQ(CountBlocks(m().Board, kPlayer) + CountBlocks(m().Board, kCpu), 0);
}

// The line check comes first: a block that completes four and fills the board wins the
// round for the player; the board-full check then finds the new round's empty board.
TEST_F(MatchPieces, LineThatFillsTheBoardWinsForThePlayer) {
  BeginMatch(3);
  FillWithPattern();
  for (int c = 1; c <= 3; ++c) m().Board.Set(c, 0, kPlayer);
  m().Board.Set(0, 0, kPlayer);
  ASSERT_TRUE(m().Board.IsFull());
  EXPECT_EQ(CheckFour(h_.game(), kPlayer), RoundEvent::kRoundEnded);
  EXPECT_EQ(m().PlayerWins, 1);
  EXPECT_EQ(m().PlayerWon[0], -1);
  EXPECT_EQ(CheckBoardFull(h_.game()), RoundEvent::kNone);
  EXPECT_EQ(m().CpuWins, 0);
}

TEST_F(MatchPieces, LineCheckWithoutALineAdvancesOnlyTheSecondMoversCounter) {
  m().FirstMover = 1;
  m().MoveRound = 3;
  m().Board.Set(4, 28, kPlayer);
  EXPECT_EQ(CheckFour(h_.game(), kPlayer), RoundEvent::kNone);
  EXPECT_EQ(m().MoveRound, 3);
  EXPECT_EQ(CheckFour(h_.game(), kCpu), RoundEvent::kNone);
  EXPECT_EQ(m().MoveRound, 4);
}

TEST_F(MatchPieces, CpuOpeningTheRoundPutsThePlayersCursorAboveItsBlock) {
  Game& g = h_.game();
  m().MoveRound = 1;
  m().FirstMover = 2;
  m().CharaTurn = 0;
  g.display.EnemyCursor.Move(16 * 19, 16 * 28);
  g.display.EnemyCursor.Show();
  g.display.CharaCursor.Hide();
  const uint32_t start = h_.platform().Now();

  EXPECT_EQ(EnemyTurn(g), RoundEvent::kNone);
  const int c = m().EnemyX;
  EXPECT_EQ(m().EnemyY, 28);
  EXPECT_EQ(m().Board.At(c, 28), kCpu);
  EXPECT_EQ(CountBlocks(m().Board, kCpu), 1);
  EXPECT_EQ(m().CharaX, c);
  EXPECT_EQ(m().CharaY, 27);
  EXPECT_EQ(g.display.CharaCursor.X(), 16 * c);
  EXPECT_EQ(g.display.CharaCursor.Y(), 16 * 27);
  EXPECT_TRUE(g.display.CharaCursor.Visible());
  EXPECT_FALSE(g.display.EnemyCursor.Visible());
  EXPECT_EQ(g.display.EnemyCursor.X(), 16 * c);
  EXPECT_EQ(m().CharaTurn, -1);
  // One cell per 100 ms (and a little) from column 19.
  const uint32_t steps = static_cast<uint32_t>(std::abs(c - 19));
  EXPECT_GE(h_.platform().Now() - start, 100 * steps);
  EXPECT_LE(h_.platform().Now() - start, 110 * steps + 5);
  auto* audio = dynamic_cast<HeadlessAudio*>(&h_.platform().audio());
  ASSERT_NE(audio, nullptr);
  ASSERT_GE(audio->records().size(), 2u);
  EXPECT_EQ(audio->records().back().text, "effect wave1.dat nowait");
  EXPECT_EQ(audio->records()[audio->records().size() - 2].text, "effect_stop");
}

TEST_F(MatchPieces, CpuBlockFillingTheCursorsColumnMovesTheCursorRight) {
  Game& g = h_.game();
  for (int c = 10; c <= 13; ++c) {
    for (int r = 1; r < kRows; ++r) m().Board.Set(c, r, PatternValue(c, r));
  }
  for (int c = 11; c <= 13; ++c) m().Board.Set(c, 0, kCpu);  // three for the CPU to complete
  m().GameMode = 1;
  m().FirstMover = 1;
  m().MoveRound = 20;
  m().EnemyX = 13;
  m().EnemyY = 0;
  m().CharaX = 10;
  m().CharaY = 0;
  m().CharaTurn = 0;
  EXPECT_EQ(EnemyTurn(g), RoundEvent::kNone);
  ASSERT_EQ(m().EnemyX, 10);
  ASSERT_EQ(m().EnemyY, 0);
  EXPECT_EQ(m().CharaX, 14);  // past the full columns 10..13
  EXPECT_EQ(m().CharaY, 28);
  EXPECT_EQ(g.display.CharaCursor.X(), 16 * 14);
  EXPECT_EQ(g.display.CharaCursor.Y(), 16 * 28);
}

TEST_F(MatchPieces, WalkGoesColumnsFirstThenRowsOneCellPer100Ms) {
  Game& g = h_.game();
  h_.log_frames = true;
  m().EnemyX = 5;
  m().EnemyY = 28;
  int16_t x = 19;
  int16_t y = 28;
  uint32_t start = h_.platform().Now();
  WalkEnemyCursor(g, x, y);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(h_.frame_log.size(), 14u);
  EXPECT_GT(h_.platform().Now() - start, 1400u);
  EXPECT_LE(h_.platform().Now() - start, 14u * 110u);
  EXPECT_EQ(g.display.EnemyCursor.X(), 80);

  h_.frame_log.clear();
  m().EnemyX = 6;
  m().EnemyY = 27;
  WalkEnemyCursor(g, x, y);
  ASSERT_EQ(h_.frame_log.size(), 2u);
  EXPECT_EQ(h_.frame_log[0].enemy_x, 96);  // the column first
  EXPECT_EQ(h_.frame_log[0].enemy_y, 448);
  EXPECT_EQ(h_.frame_log[1].enemy_x, 96);
  EXPECT_EQ(h_.frame_log[1].enemy_y, 432);

  h_.frame_log.clear();
  start = h_.platform().Now();
  WalkEnemyCursor(g, x, y);  // already there
  EXPECT_TRUE(h_.frame_log.empty());
  EXPECT_EQ(h_.platform().Now(), start);
}

TEST_F(MatchPieces, SettlingClearsTheArrowFlagsAndRefusesEmptyToEmpty) {
  Game& g = h_.game();
  m().Board.Set(5, 28, kCpu);
  m().FirstMover = 1;
  m().MoveRound = 2;
  m().CharaX = 8;  // stepped right from the empty column 7
  m().CharaY = 28;
  g.keys.Key_Right = 1;
  SettleCharaCursor(g);
  EXPECT_EQ(m().CharaX, 7);
  EXPECT_EQ(g.keys.Key_Right, 0);
  EXPECT_EQ(g.keys.Key_Left, 0);

  m().CharaX = 5;  // stepped left from column 6 into the CPU's column
  g.keys.Key_Left = 1;
  g.keys.Key_Right = 1;  // left wins
  SettleCharaCursor(g);
  EXPECT_EQ(m().CharaX, 5);
  EXPECT_EQ(m().CharaY, 27);
  EXPECT_EQ(g.keys.Key_Left, 0);
  EXPECT_EQ(g.keys.Key_Right, 0);
}

TEST_F(MatchPieces, BlocksAreTheirChipsAndEmptyCellsKeepTheBackground) {
  Game& g = h_.game();
  Surface& screen = g.display.GameScreen;
  screen.PaintAll(0x123456);
  m().Board.Set(0, 28, kPlayer);
  m().Board.Set(39, 28, kCpu);
  m().Board.Set(39, 27, kPlayer);
  DrawBlocks(g);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      ASSERT_EQ(screen.Pixel(x, 448 + y), g.pictures.PicChip.Pixel(x, y));
      ASSERT_EQ(screen.Pixel(624 + x, 448 + y), g.pictures.PicChip.Pixel(x, 16 + y));
      ASSERT_EQ(screen.Pixel(624 + x, 432 + y), g.pictures.PicChip.Pixel(x, y));
      ASSERT_EQ(screen.Pixel(16 + x, 448 + y), 0x123456u);
    }
  }
}

TEST_F(MatchPieces, BannerDrawsOnlyItsWindowAndOtherModesNothing) {
  Game& g = h_.game();
  Surface& screen = g.display.GameScreen;
  screen.PaintAll(0x000000);
  const int frames = h_.platform().FrameCount();
  EXPECT_EQ(PopupWindow(g, 2, "CPU"), 0);
  EXPECT_EQ(PopupWindow(g, -1, "CPU"), 0);
  EXPECT_EQ(h_.platform().FrameCount(), frames);
  for (int y = 0; y < 480; y += 3) {
    for (int x = 0; x < 640; x += 3) ASSERT_EQ(screen.Pixel(x, y), 0u);
  }

  EXPECT_EQ(PopupWindow(g, 1, "CPU"), 1);
  EXPECT_EQ(h_.platform().FrameCount(), frames + 1);
  int inside = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const bool in_banner = x >= 205 && x < 205 + 224 && y >= 205 && y < 205 + 32;
      if (!in_banner) {
        ASSERT_EQ(screen.Pixel(x, y), 0u) << x << "," << y;
      } else {
        inside += screen.Pixel(x, y) != 0;
      }
    }
  }
  EXPECT_GT(inside, 224 * 32 / 2);
  // The skin's bottom edge ends the banner: its last row comes from row 95 of PicWindow.
  EXPECT_EQ(screen.Pixel(205, 236), g.pictures.PicWindow.Pixel(0, 95));
  EXPECT_EQ(screen.Pixel(205 + 223, 205), g.pictures.PicWindow.Pixel(95, 0));
}

}  // namespace
}  // namespace rv::test
