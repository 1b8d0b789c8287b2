#pragma once
// The match score: fast won rounds in few moves score high, scaled by the difficulty, and
// slow lost rounds take points away.

#include <cstdint>
#include <string>
#include <vector>

#include "game/ranking/ranking_book.h"
#include "game/ranking/ranking_tables.h"

namespace rv {

// Nearest integer, halves to the even neighbour, whatever the floating-point rounding mode.
double RoundHalfEven(double v);

// The difficulty factor: 0.5, 1.2, 3.0 for GameMode 0, 1, 2; 0 for any other value.
double DifficultyFactor(int16_t GameMode);

struct ScoreResult {
  bool ok = false;
  int32_t score = 0;      // never negative
  int32_t TotalTime = 0;  // milliseconds, all rounds
  double TotalMoves = 0;  // all rounds
  std::string error;      // set when !ok: an overflow or records that do not fit together
};

// The score from the per-round records (one entry per round, all three the same length).
// Sums that would overflow 32 bits are errors, never wrapped.
ScoreResult ComputeScore(int16_t GameMode, int16_t PlayerWins, int16_t CpuWins,
                         const std::vector<int32_t>& RoundTime,
                         const std::vector<int16_t>& PlayerWon,
                         const std::vector<int16_t>& RoundMoves);

// What the match offers to its ranking list: (score, TotalMoves, TotalTime \ 10) when the
// player won a round, else (score, 0.0, 0), whose score is 0 and so never enters.
struct RankEntryArgs {
  int32_t score;
  double moves;
  int32_t time;  // hundredths of a second
};
RankEntryArgs RankEntryFor(const ScoreResult& result, int16_t PlayerWins);

struct MatchScoring {
  bool ok = false;
  int32_t score = 0;
  int32_t TotalTime = 0;
  double TotalMoves = 0;
  int16_t RankIn = -1;  // place 1..9 or -1
  std::string error;    // the game shows its error box when !ok
};

// The whole recording at the end of a match, each step once: the score, its entry into the
// list of (GameMode, RoundCount) in `book`, and the book's rewrite when it entered.
MatchScoring RecordMatchResult(int16_t GameMode, int16_t RoundCount, int16_t PlayerWins,
                               int16_t CpuWins, const std::vector<int32_t>& RoundTime,
                               const std::vector<int16_t>& PlayerWon,
                               const std::vector<int16_t>& RoundMoves, RankingBook& book);

}  // namespace rv
