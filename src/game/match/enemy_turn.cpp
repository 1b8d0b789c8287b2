#include "game/match/enemy_turn.h"

#include <stdexcept>

#include "game/cpu/cpu_choice.h"
#include "game/game.h"
#include "game/match/chara_cursor.h"
#include "game/match/match_drawing.h"

namespace rv {

namespace {

constexpr int32_t kWalkStepMs = 100;

void StepTowards(int16_t& from, int16_t to) {
  from = static_cast<int16_t>(from + (to > from ? 1 : -1));
}

void HandOver(Game& game) {
  SettleCharaCursor(game);
  MoveCharaCursor(game);
  game.match.CharaTurn = -1;
  game.display.CharaCursor.Show();
  game.display.EnemyCursor.Hide();
}

}  // namespace

void WalkEnemyCursor(Game& game, int16_t& from_x, int16_t& from_y) {
  const MatchState& m = game.match;
  while (from_x != m.EnemyX) {
    game.DoEvents();
    StepTowards(from_x, m.EnemyX);
    game.display.EnemyCursor.Move(16 * from_x, 16 * from_y);
    game.WaitMs(kWalkStepMs);
  }
  while (from_y != m.EnemyY) {
    game.DoEvents();
    StepTowards(from_y, m.EnemyY);
    game.display.EnemyCursor.Move(16 * from_x, 16 * from_y);
    game.WaitMs(kWalkStepMs);
  }
}

RoundEvent EnemyTurn(Game& game) {
  MatchState& m = game.match;
  int16_t from_x = m.EnemyX;
  int16_t from_y = m.EnemyY;
  const CpuMove move = ChooseCpuMove(m, game.rng);
  if (move.rule == CpuRule::kNone) throw std::logic_error("the CPU's turn came on a full board");
  // When the CPU opens the round the player's cursor goes straight above its first block.
  if (move.rule == CpuRule::kFirst && m.FirstMover == 2) MoveCharaCursor(game);

  WalkEnemyCursor(game, from_x, from_y);
  game.sound.StopWave();
  game.sound.PlayWave("wave1", 0);
  // The new block appears only when the cursor has arrived.
  DrawBlocks(game);
  game.display.Refresh();

  const RoundEvent full = CheckBoardFull(game);
  if (full != RoundEvent::kNone) return full;
  HandOver(game);
  return RoundEvent::kNone;
}

}  // namespace rv
