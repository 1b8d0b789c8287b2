// rv_sim cpu [--seed N]: the CPU's choice for the position on standard input.

#include <ostream>

#include "app/rv_sim/commands.h"
#include "app/rv_sim/sim_input.h"
#include "game/cpu/cpu_choice.h"

namespace rv::sim {

int CpuCommand(const CommandIo& io) {
  uint64_t seed = 1;
  for (std::size_t i = 0; i < io.args.size(); ++i) {
    if (io.args[i] != "--seed") throw InputError{0, "unknown argument '" + io.args[i] + "'"};
    if (i + 1 >= io.args.size()) throw InputError{0, "--seed needs a number"};
    seed = static_cast<uint64_t>(ParseInteger(io.args[++i], 0, INT64_MAX, "seed", 0));
  }
  Position pos = ReadPosition(io.in);
  SeededRandom rng(seed);
  const CpuMove move = ChooseCpuMove(pos.state, rng);
  if (move.rule == CpuRule::kNone) {
    throw InputError{pos.board_line, "the board has no empty cell, so the CPU has no move"};
  }
  io.out << CpuRuleName(move.rule) << " " << move.x << " " << move.y << "\n";
  return kExitOk;
}

}  // namespace rv::sim
