// rv_sim four: whether the line check finds four of each side in the position.

#include <ostream>

#include "app/rv_sim/commands.h"
#include "app/rv_sim/sim_input.h"
#include "game/board/four_in_row.h"

namespace rv::sim {

int FourCommand(const CommandIo& io) {
  if (!io.args.empty()) throw InputError{0, "four takes no arguments"};
  const Position pos = ReadPosition(io.in);
  for (int16_t side : {kPlayer, kCpu}) {
    io.out << side << (FindFour(pos.state.Board, side) ? " yes" : " no") << "\n";
  }
  return kExitOk;
}

}  // namespace rv::sim
