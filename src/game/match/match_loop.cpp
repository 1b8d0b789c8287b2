#include "game/match/match_loop.h"

#include <exception>
#include <stdexcept>

#include "game/game.h"
#include "game/match/chara_cursor.h"
#include "game/match/enemy_turn.h"
#include "game/match/match_drawing.h"
#include "game/match/round_end.h"
#include "game/match/start_round.h"

namespace rv {

namespace {

constexpr int32_t kFramePeriodMs = 80;
constexpr int32_t kCpuPauseMs = 1200;

// The player's block goes to the landing cell under the cursor, settled at the end of the
// previous frame or of the CPU's turn.
RoundEvent PlacePlayerBlock(Game& game) {
  MatchState& m = game.match;
  if (!Board::OnBoard(m.CharaX, m.CharaY)) throw std::out_of_range("cursor off the board");
  m.Board.Set(m.CharaX, m.CharaY, kPlayer);
  m.CharaLastX = m.CharaX;
  m.CharaLastY = m.CharaY;
  DrawBlocks(game);
  game.display.Refresh();
  game.DoEvents();
  m.CharaTurn = 0;
  game.sound.StopWave();
  game.sound.PlayWave("wave1", 0);
  game.display.CharaCursor.Hide();
  game.display.EnemyCursor.Show();
  const RoundEvent four = CheckFour(game, kPlayer);
  if (four == RoundEvent::kMatchOver) return four;
  // After a decided round this looks at the new, empty board and finds room.
  const RoundEvent full = CheckBoardFull(game);
  return four != RoundEvent::kNone ? four : full;
}

// The player's turn: X wins over the arrows and left over right. Key_X is not cleared, so
// a held X places a block the moment each of the player's turns begins.
RoundEvent WaitForPlayer(Game& game) {
  MatchState& m = game.match;
  for (;;) {
    game.DoEvents();
    if (game.keys.Key_X == 1) return PlacePlayerBlock(game);
    if (game.keys.Key_Left == 1) {
      m.CharaX = static_cast<int16_t>(m.CharaX - 1);
      return RoundEvent::kNone;
    }
    if (game.keys.Key_Right == 1) {
      m.CharaX = static_cast<int16_t>(m.CharaX + 1);
      return RoundEvent::kNone;
    }
    game.WaitMs(20);
  }
}

// One frame per pass; a round decided inside a frame has already set up the next one, so
// the loop simply carries on. Returns when the last round's results are over.
void PlayFrames(Game& game) {
  MatchState& m = game.match;
  for (;;) {
    if (m.CharaTurn == -1 && WaitForPlayer(game) == RoundEvent::kMatchOver) return;
    game.loop.StartFrame(game.stamps);
    SettleCharaCursor(game);
    MoveCharaCursor(game);
    if (m.CharaTurn == 0) {
      game.WaitMs(kCpuPauseMs);
      RoundEvent event = EnemyTurn(game);
      // A round the board-full check ended inside the CPU's turn gets no line check.
      if (event == RoundEvent::kNone) event = CheckFour(game, kCpu);
      if (event == RoundEvent::kMatchOver) return;
    }
    game.loop.EndFrame(game.stamps, kFramePeriodMs);
  }
}

void RunMatch(Game& game) {
  MatchState& m = game.match;
  const auto rounds = static_cast<std::size_t>(m.RoundCount > 0 ? m.RoundCount : 0);
  m.RoundTime.assign(rounds, 0);
  m.PlayerWon.assign(rounds, 0);
  m.RoundMoves.assign(rounds, 0);

  // The selection left the screen cleared but not shown: the three seconds are dark only
  // once the cleared screen is refreshed.
  game.display.Refresh();
  game.WaitMs(3000);
  LoadPictureOrThrow(game, rects::Picture::kScreen);
  FadeContext fade = game.Fade();
  FadeScreen(fade, 0);
  StartRound(game);
  game.sound.PlayMusic(0);
  m.RoundStartTick = game.Now();
  PlayFrames(game);
}

}  // namespace

// Every failure of the match, from its first step on, ends the program through the error
// box; ProgramExit (Escape, a closed window, the score's own error box) is no std::exception
// and passes through untouched.
void MatchLoop(Game& game) {
  try {
    RunMatch(game);
  } catch (const std::exception&) {
    game.FailAndUnload(TextId("配列エラーが発生しました！"), TextId("エラー"));
  }
}

}  // namespace rv
