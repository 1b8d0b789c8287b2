// rv_sim rank FILE MODE ROUNDS SCORE MOVES TIME: enters one result into a ranking file as the
// game does (load at start-up, insert, rewrite) and prints the place or -1.

#include <ostream>

#include "app/rv_sim/commands.h"
#include "app/rv_sim/sim_input.h"
#include "game/ranking/ranking_book.h"
#include "game/ranking/ranking_file.h"
#include "game/ranking/score.h"

namespace rv::sim {

int RankCommand(const CommandIo& io) {
  if (io.args.size() != 6) {
    throw InputError{0, "rank needs FILE MODE ROUNDS SCORE MOVES TIME, got " +
                            std::to_string(io.args.size()) + " arguments"};
  }
  const std::string& file = io.args[0];
  if (file.empty()) throw InputError{0, "FILE is empty"};
  const auto mode = static_cast<int16_t>(ParseInteger(io.args[1], 0, 2, "MODE", 0));
  const auto rounds = static_cast<int16_t>(ParseInteger(io.args[2], 1, 9, "ROUNDS", 0));
  if (rounds % 2 == 0) throw InputError{0, "ROUNDS " + io.args[2] + " is not 1, 3, 5, 7 or 9"};
  const auto score =
      static_cast<int32_t>(ParseInteger(io.args[3], INT32_MIN, INT32_MAX, "SCORE", 0));
  const double moves = ParseFiniteDouble(io.args[4], "MOVES", 0);
  const auto time = static_cast<int32_t>(ParseInteger(io.args[5], INT32_MIN, INT32_MAX, "TIME", 0));

  RankingLoad loaded = LoadRankingFile(file);
  if (!loaded.ok) {
    io.err << "rv_sim: rank: " << loaded.error << "\n";
    return kExitFailed;
  }
  // The game's own book: the tables as loaded, rewritten when the result entered.
  const BookEntry entered =
      OwnRanking(loaded.tables, file).Enter(mode, rounds, {score, moves, time});
  if (!entered.ok) {
    io.err << "rv_sim: rank: " << entered.error << "\n";
    return kExitFailed;
  }
  io.out << entered.place << "\n";
  return kExitOk;
}

}  // namespace rv::sim
