#include "app/rv_sim/ranking_record.h"

#include <optional>
#include <thread>

#include "game/ranking/ranking_file.h"
#include "game/ranking/ranking_tables.h"
#include "storage/instance_lock.h"
#include "storage/player_files.h"
#include "storage/stored_file.h"

namespace rv::sim {

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds kLockRetry{20};

// The lock, retried without blocking until `wait` has passed, so that concurrent runs queue
// while a game that keeps it is given up on. A lock that cannot be taken at all (a FIFO in its
// place, a link, another user's unreadable file) is refused at once. A lock file that can
// neither exist nor be created holds nothing, and nobody can hold it: as for the game, the
// work then goes on unguarded.
std::optional<InstanceLock> WaitForLock(const fs::path& lock_file, std::chrono::milliseconds wait,
                                        std::string& error) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    FileFailure problem;
    std::optional<InstanceLock> lock = InstanceLock::TryAcquire(lock_file, &problem);
    if (lock) return lock;
    if (!problem.empty()) {
      error = problem.English();
      return std::nullopt;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      error = DescribeFileProblem(
          "cannot lock", lock_file,
          "held by another program (a game running on this folder?) for more than " +
              std::to_string(wait.count()) + " ms");
      return std::nullopt;
    }
    std::this_thread::sleep_for(kLockRetry);
  }
}

}  // namespace

RecordOutcome RecordRankEntry(const fs::path& folder, int16_t GameMode, int16_t RoundCount,
                              const RankEntryArgs& entry, std::chrono::milliseconds lock_wait) {
  RecordOutcome out;
  // A result that can enter no list (a score of 0) needs neither the lock nor the file.
  if (entry.score == 0 || !HasRankList(GameMode, RoundCount)) {
    out.ok = true;
    return out;
  }
  const std::optional<InstanceLock> lock =
      WaitForLock(folder / kGameLockFile, lock_wait, out.error);
  if (!lock) return out;
  const fs::path file = folder / kRankingFile;
  // The ranking as the file holds it now; a missing file (or a link to nothing) is not made.
  RankingLoad loaded = LoadRankingFile(file, MissingRanking::kLeave);
  if (!loaded.ok) {
    out.error = loaded.error;
    return out;
  }
  RankingTables& tables = loaded.tables;
  const int16_t place =
      InsertRankEntry(tables, GameMode, RoundCount, entry.score, entry.moves, entry.time);
  if (place != -1) {
    // The game's own rewrite: a link is followed, the bytes past the tables are kept.
    const FileResult written = WriteRankingFile(file, tables);
    if (!written.ok) {
      out.error = written.error;
      return out;
    }
  }
  out.place = place;
  out.ok = true;
  return out;
}

}  // namespace rv::sim
