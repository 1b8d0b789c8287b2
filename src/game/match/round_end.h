#pragma once
// Deciding and closing rounds. Each operation tells the frame loop what became of the
// round, so that a round or match decided deep inside a move ends that move.

#include <cstdint>

namespace rv {

class Game;

enum class RoundEvent {
  kNone,        // the round goes on
  kRoundEnded,  // the round was decided and the next one has been set up
  kMatchOver,   // the last round was decided; the results have been shown
};

// The line check after a move of `side` (1 the player, 2 the CPU). Without a line, a move
// of the side that moves second starts the next move pair.
RoundEvent CheckFour(Game& game, int16_t side);

// A board without an empty cell is a round for the CPU, whoever placed the last block.
RoundEvent CheckBoardFull(Game& game);

// Records the round, shows the winner's banner for 2.5 s, then sets up the next round or,
// after the last one, shows the match results.
RoundEvent EndRound(Game& game, int16_t winner);

}  // namespace rv
