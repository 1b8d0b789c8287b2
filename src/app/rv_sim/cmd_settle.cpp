// rv_sim settle left|right|none: the player's cursor after a step. `chara` holds the cursor
// after the step (x may be -1 or 40) and its row before it.

#include <ostream>

#include "app/rv_sim/commands.h"
#include "app/rv_sim/sim_input.h"
#include "game/board/cursor_rule.h"

namespace rv::sim {

int SettleCommand(const CommandIo& io) {
  if (io.args.size() != 1) throw InputError{0, "settle needs one of left, right, none"};
  StepDirection step = StepDirection::kNone;
  if (io.args[0] == "left") {
    step = StepDirection::kLeft;
  } else if (io.args[0] == "right") {
    step = StepDirection::kRight;
  } else if (io.args[0] != "none") {
    throw InputError{0, "unknown direction '" + io.args[0] + "' (left, right or none)"};
  }
  Position pos = ReadPosition(io.in);
  MatchState& s = pos.state;
  // The step came from a column of the board: a right step ends in 1..40, a left one in
  // -1..38. The game can reach no other; the rule would send the cursor back off the board.
  if ((step == StepDirection::kRight && s.CharaX < 1) ||
      (step == StepDirection::kLeft && s.CharaX > kColumns - 2)) {
    throw InputError{0, "settle " + io.args[0] + " cannot end in column " +
                            std::to_string(s.CharaX) + ": the cursor came from off the board"};
  }
  if (!SettleCursor(s.Board, step, s.FirstMover, s.MoveRound, s.CharaX, s.CharaY)) {
    throw InputError{pos.board_line, "the board has no empty cell for the cursor"};
  }
  io.out << s.CharaX << " " << s.CharaY << "\n";
  return kExitOk;
}

}  // namespace rv::sim
