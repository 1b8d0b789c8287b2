#include "game/ranking/ranking_book.h"

#include <optional>
#include <thread>
#include <utility>

#include "game/ranking/ranking_file.h"
#include "game/ranking/score.h"
#include "storage/instance_lock.h"
#include "storage/player_files.h"
#include "storage/stored_file.h"

namespace rv {

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds kLockRetry{20};

BookEntry EnterInto(RankingTables& tables, const fs::path& file, int16_t GameMode,
                    int16_t RoundCount, const RankEntryArgs& entry) {
  BookEntry out;
  out.place = InsertRankEntry(tables, GameMode, RoundCount, entry.score, entry.moves, entry.time);
  if (out.place != -1) {
    // A link is followed, the bytes past the tables are kept.
    const FileResult written = WriteRankingFile(file, tables);
    if (!written.ok) {
      out.place = -1;
      out.error = written.error;
      return out;
    }
  }
  out.ok = true;
  return out;
}

// The lock, retried without blocking until `wait` has passed, so that concurrent runs queue
// while a game that keeps it is given up on. A lock file that can neither exist nor be
// created holds nothing, and nobody can hold it: as for the game, the work then goes on
// unguarded.
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

BookEntry OwnRanking::Enter(int16_t GameMode, int16_t RoundCount, const RankEntryArgs& entry) {
  return EnterInto(tables_, file_, GameMode, RoundCount, entry);
}

BookEntry SharedRanking::Enter(int16_t GameMode, int16_t RoundCount, const RankEntryArgs& entry) {
  last_ = {};
  // A result that can enter no list (a score of 0) needs neither the lock nor the file.
  if (entry.score == 0 || !HasRankList(GameMode, RoundCount)) {
    last_.ok = true;
    return last_;
  }
  const std::optional<InstanceLock> lock =
      WaitForLock(folder_ / kGameLockFile, lock_wait_, last_.error);
  if (!lock) return last_;
  const fs::path file = folder_ / kRankingFile;
  RankingLoad loaded = LoadRankingFile(file, MissingRanking::kLeave);
  if (!loaded.ok) {
    last_.error = loaded.error;
    return last_;
  }
  last_ = EnterInto(loaded.tables, file, GameMode, RoundCount, entry);
  return last_;
}

}  // namespace rv
