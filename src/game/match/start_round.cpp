#include "game/match/start_round.h"

#include "game/game.h"
#include "game/gfx/copy_piece.h"
#include "game/match/match_drawing.h"

namespace rv {

namespace {

constexpr int16_t kStartColumn = 19;
constexpr int16_t kFloorRow = kRows - 1;

void GiveFirstMove(Game& game, int16_t roulette) {
  MatchState& m = game.match;
  m.FirstMover = static_cast<int16_t>(roulette + 1);
  if (m.FirstMover == 1) {
    m.CharaTurn = -1;
    game.display.CharaCursor.Show();
    game.display.EnemyCursor.Hide();
  } else {
    m.CharaTurn = 0;
    game.display.CharaCursor.Hide();
    game.display.EnemyCursor.Show();
  }
}

}  // namespace

void PaintMatchBackground(Game& game) {
  game.display.Clear();
  CopyPiece(game.display.GameScreen, 0, 0, game.pictures, rects::kMatchBackground);
}

void StartRound(Game& game) {
  MatchState& m = game.match;
  m.Board.Clear();

  LoadPictureOrThrow(game, rects::Picture::kScreen);
  PaintMatchBackground(game);
  DrawBlocks(game);
  game.display.Refresh();

  m.CharaX = kStartColumn;
  m.EnemyX = kStartColumn;
  m.CharaY = kFloorRow;
  m.EnemyY = kFloorRow;
  m.MoveRound = 1;
  game.display.CharaCursor.Move(16 * kStartColumn, 16 * kFloorRow);
  game.display.EnemyCursor.Move(16 * kStartColumn, 16 * kFloorRow);

  m.RoundNo = static_cast<int16_t>(m.RoundNo + 1);

  DrawRoundTitle(game);
  game.display.Refresh();
  game.WaitMs(2000);

  const int16_t roulette = PopupWindow(game, 0);
  game.display.Refresh();
  game.WaitMs(2000);

  // The clean background removes the title and the roulette window.
  PaintMatchBackground(game);
  game.display.Refresh();

  game.rng.Reseed();
  GiveFirstMove(game, roulette);
  m.RoundStartTick = game.Now();
}

}  // namespace rv
