#include "game/ranking/ranking_tables.h"

namespace rv {

bool HasRankList(int16_t GameMode, int16_t RoundCount) {
  return GameMode >= 0 && GameMode <= 2 && RoundCount >= 1 && RoundCount <= 9;
}

int16_t InsertRankEntry(RankingTables& tables, int16_t GameMode, int16_t RoundCount, int32_t score,
                        double moves, int32_t time) {
  if (score == 0 || !HasRankList(GameMode, RoundCount)) return -1;
  for (int q = 1; q <= kRankPlaces; ++q) {
    if (score < tables.RankScore[RankIndex(GameMode, RoundCount, q - 1)]) continue;
    // Places q..8 move down one; the old place 9 drops out.
    for (int j = kRankPlaces - 2; j >= q - 1; --j) {
      const int from = RankIndex(GameMode, RoundCount, j);
      const int to = RankIndex(GameMode, RoundCount, j + 1);
      tables.RankScore[to] = tables.RankScore[from];
      tables.RankMoves[to] = tables.RankMoves[from];
      tables.RankTime[to] = tables.RankTime[from];
    }
    const int at = RankIndex(GameMode, RoundCount, q - 1);
    tables.RankScore[at] = score;
    tables.RankMoves[at] = moves;
    tables.RankTime[at] = time;
    return static_cast<int16_t>(q);
  }
  return -1;
}

}  // namespace rv
