#pragma once
// Entering a finished match's result into the ranking of a data folder that a game may be
// using at the same moment. The read, the insertion and the rewrite happen under the game's
// own lock on that folder (kGameLockFile), from the file as it is then, so that neither a
// game nor another rv_sim run loses a result it recorded; a result that does not enter
// writes nothing.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "game/ranking/score.h"

namespace rv::sim {

struct RecordOutcome {
  bool ok = false;
  int16_t place = -1;  // the place the result now holds in the file, or -1
  std::string error;   // set when !ok: nothing was written
};

// Waits up to `lock_wait` for the lock (concurrent runs queue behind one another; a game
// holds it for its whole run); a file that exists but cannot be read is refused, never
// replaced by an empty ranking.
RecordOutcome RecordRankEntry(const std::filesystem::path& folder, int16_t GameMode,
                              int16_t RoundCount, const RankEntryArgs& entry,
                              std::chrono::milliseconds lock_wait);

}  // namespace rv::sim
