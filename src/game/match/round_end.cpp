#include "game/match/round_end.h"

#include "game/board/four_in_row.h"
#include "game/game.h"
#include "game/match/match_drawing.h"
#include "game/match/match_results.h"
#include "game/match/start_round.h"

namespace rv {

RoundEvent CheckFour(Game& game, int16_t side) {
  if (CheckFourRule(game.match, side)) return EndRound(game, side);
  return RoundEvent::kNone;
}

RoundEvent CheckBoardFull(Game& game) {
  if (BoardFull(game.match.Board)) return EndRound(game, kCpu);
  return RoundEvent::kNone;
}

RoundEvent EndRound(Game& game, int16_t winner) {
  MatchState& m = game.match;
  // The records were sized for RoundCount rounds; at() turns a round outside them into a
  // failure of the match instead of a write past the end.
  const auto i = static_cast<std::size_t>(m.RoundNo - 1);
  // A wrap-safe difference of two stamps of the millisecond counter.
  m.RoundTime.at(i) = static_cast<int32_t>(static_cast<uint32_t>(game.Now()) -
                                           static_cast<uint32_t>(m.RoundStartTick));
  m.RoundMoves.at(i) = m.MoveRound;
  if (winner == kPlayer) {
    ++m.PlayerWins;
    m.PlayerWon.at(i) = -1;
    PopupWindow(game, 1, TextId("プレイヤー"));
  } else {
    ++m.CpuWins;
    m.PlayerWon.at(i) = 0;
    PopupWindow(game, 1, "CPU");
  }
  game.WaitMs(2500);
  SetAlpha(game.blend, 150);
  const int32_t sweep_start = game.Now();
  if (m.RoundNo != m.RoundCount) {
    StartRound(game);
    return RoundEvent::kRoundEnded;
  }
  ShowMatchResults(game, sweep_start);
  return RoundEvent::kMatchOver;
}

}  // namespace rv
