#pragma once
// The player's side of a headless match: a driver of the headless platform that stops the
// roulette at a seeded moment and plays its turns with key-downs, as a person would: Left
// and Right to steer the cursor, X to place.

#include <cstdint>
#include <vector>

#include "game/cpu/random_source.h"
#include "game/game.h"
#include "platform/headless/headless_platform.h"

namespace rv {

enum class PlayerKind {
  kRandom,  // a random column the cursor may reach
  kGreedy,  // completes its own three, else blocks the CPU's three, else random
};

class PlayerBot {
 public:
  PlayerBot(const Game& game, PlayerKind kind, uint64_t seed);

  // Call on every pass of event servicing (HeadlessPlatform::SetDriver).
  void Drive(HeadlessPlatform& platform);

  // Columns the cursor may reach for the next block: every column with room when the
  // player opens the round, else columns with room that hold blocks or stand next to one.
  static std::vector<int> ReachableColumns(const MatchState& m);
  // The column the bot wants for its next block.
  int ChooseColumn(const MatchState& m);

 private:
  enum class Held { kNone, kLeft, kRight, kX };

  bool InPlay() const;
  void Release(HeadlessPlatform& platform);
  void Act(HeadlessPlatform& platform);

  const Game& game_;
  PlayerKind kind_;
  SeededRandom rng_;
  int16_t round_seen_ = 0;
  uint32_t round_seen_at_ = 0;
  Held held_ = Held::kNone;
  int target_ = -1;
  int blocks_at_target_ = -1;  // the number of blocks on the board when target_ was chosen
  int steps_this_turn_ = 0;
};

}  // namespace rv
