#pragma once
// Where a finished match's entry goes. The game's own book is its tables and its data
// folder's ranking file, which nobody else writes while the game holds its lock; a shared
// book is a folder that games and other runs use at the same moment, locked and read again
// for each entry, so that nobody loses a result recorded meanwhile.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "game/ranking/ranking_tables.h"

namespace rv {

struct RankEntryArgs;

struct BookEntry {
  bool ok = false;
  int16_t place = -1;  // 1..9, or -1 when the entry did not enter its list
  std::string error;   // set when !ok: nothing was written
};

class RankingBook {
 public:
  virtual ~RankingBook() = default;
  // Enters the result into the list of (GameMode, RoundCount) and rewrites the file when it
  // entered; an entry that enters no list writes nothing.
  virtual BookEntry Enter(int16_t GameMode, int16_t RoundCount, const RankEntryArgs& entry) = 0;
};

// The game's tables, kept in step with `file`.
class OwnRanking final : public RankingBook {
 public:
  OwnRanking(RankingTables& tables, std::filesystem::path file)
      : tables_(tables), file_(std::move(file)) {}
  BookEntry Enter(int16_t GameMode, int16_t RoundCount, const RankEntryArgs& entry) override;

 private:
  RankingTables& tables_;
  std::filesystem::path file_;
};

// The ranking of `folder`, entered under the game's own lock on it. The lock is waited for up
// to `lock_wait` (concurrent runs queue behind one another; a game holds it for its whole
// run); a lock that cannot be taken at all, and a file that exists but cannot be read, are
// refused, never replaced by an empty ranking. A missing file is made only when a result
// enters.
class SharedRanking final : public RankingBook {
 public:
  SharedRanking(std::filesystem::path folder, std::chrono::milliseconds lock_wait)
      : folder_(std::move(folder)), lock_wait_(lock_wait) {}
  BookEntry Enter(int16_t GameMode, int16_t RoundCount, const RankEntryArgs& entry) override;

  // The last entry's outcome, for a caller that learns of a failure only as the game's end.
  const BookEntry& last() const { return last_; }

 private:
  std::filesystem::path folder_;
  std::chrono::milliseconds lock_wait_;
  BookEntry last_;
};

}  // namespace rv
