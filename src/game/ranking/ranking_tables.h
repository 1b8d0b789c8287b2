#pragma once
// The 15 ranking lists (3 difficulties x 5 match lengths, nine places each), kept in three
// parallel tables in the order of the ranking file: difficulty fastest, place slowest.

#include <array>
#include <cstdint>

namespace rv {

constexpr int kRankPlaces = 9;
constexpr int kRankEntries = 135;

struct RankingTables {
  std::array<int32_t, kRankEntries> RankScore{};  // 0 marks an empty place
  std::array<double, kRankEntries> RankMoves{};
  std::array<int32_t, kRankEntries> RankTime{};  // hundredths of a second

  friend bool operator==(const RankingTables&, const RankingTables&) = default;
};

// Element of difficulty m, match length round_count (1, 3, 5, 7, 9) and place place0 + 1.
constexpr int RankIndex(int m, int round_count, int place0) {
  return m + 3 * (round_count / 2) + 15 * place0;
}

// True for the difficulties and match lengths that have a list.
bool HasRankList(int16_t GameMode, int16_t RoundCount);

// Enters a result into the list of (GameMode, RoundCount): returns its place 1..9, or -1
// when it did not enter (a score of 0, a score below all nine, or a kind of match without a
// list). A new score equal to a stored one ranks above it. The caller rewrites the ranking
// file exactly when the place is not -1.
int16_t InsertRankEntry(RankingTables& tables, int16_t GameMode, int16_t RoundCount, int32_t score,
                        double moves, int32_t time);

}  // namespace rv
