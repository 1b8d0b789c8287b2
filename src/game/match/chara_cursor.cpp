#include "game/match/chara_cursor.h"

#include "game/board/cursor_rule.h"
#include "game/game.h"

namespace rv {

void SettleCharaCursor(Game& game) {
  MatchState& m = game.match;
  const StepDirection step = StepFromKeys(game.keys.Key_Left, game.keys.Key_Right);
  // A full board cannot reach here: the board-full check ends the round first. Should it
  // ever happen the rule leaves the cursor at row 0 instead of searching forever.
  SettleCursor(m.Board, step, m.FirstMover, m.MoveRound, m.CharaX, m.CharaY);
  game.keys.Key_Left = 0;
  game.keys.Key_Right = 0;
}

void MoveCharaCursor(Game& game) {
  game.display.CharaCursor.Move(16 * game.match.CharaX, 16 * game.match.CharaY);
}

}  // namespace rv
