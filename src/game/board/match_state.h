#pragma once
// The state of one match, named as the game's design names it so that a reader finds the
// behaviour by its name. Owned by the game and passed by reference; no globals.

#include <cstdint>
#include <vector>

#include "game/board/board.h"

namespace rv {

struct MatchState {
  ::rv::Board Board;

  int16_t CharaX = 19;  // the player's cursor cell
  int16_t CharaY = 28;
  int16_t CharaLastX = 19;  // the player's most recent block
  int16_t CharaLastY = 28;
  int16_t EnemyX = 19;  // the CPU's cursor, which is its most recent block
  int16_t EnemyY = 28;
  int16_t EnemyTargetX = 0;  // scratch of the CPU's choice; in the end the chosen cell
  int16_t EnemyTargetY = 0;
  int16_t MoveRound = 1;   // move-pair counter, 1 at the start of a round
  int16_t FirstMover = 1;  // 1 the player begins the round, 2 the CPU
  int16_t CharaTurn = -1;  // -1 while the player may act, 0 while the CPU's turn is due
  int16_t RoundNo = 0;
  int16_t PlayerWins = 0;
  int16_t CpuWins = 0;
  int32_t RoundStartTick = 0;
  int16_t GameMode = 0;    // 0..2, switches rules of the CPU on
  int16_t RoundCount = 0;  // 1, 3, 5, 7 or 9

  // One entry per round of the match, entry n - 1 for round n.
  std::vector<int32_t> RoundTime;
  std::vector<int16_t> PlayerWon;  // -1 when the player won the round, 0 when the CPU did
  std::vector<int16_t> RoundMoves;
};

}  // namespace rv
