#include "game/ranking/score.h"

#include <cmath>
#include <limits>

namespace rv {

namespace {

struct Sums {
  int32_t won_time = 0;
  int32_t lost_time = 0;
  double won_moves = 0;
  double lost_moves = 0;
};

// An average round time in whole milliseconds (halves to even), then in tenths of a
// second with the remainder dropped.
int32_t AverageTenths(int32_t total_ms, int16_t rounds) {
  const double average = RoundHalfEven(static_cast<double>(total_ms) / rounds);
  return static_cast<int32_t>(average) / 100;
}

ScoreResult Failure(std::string what) {
  ScoreResult r;
  r.error = std::move(what);
  return r;
}

}  // namespace

double RoundHalfEven(double v) {
  if (!std::isfinite(v)) return v;
  const double below = std::floor(v);
  const double diff = v - below;
  if (diff < 0.5) return below;
  if (diff > 0.5) return below + 1.0;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

double DifficultyFactor(int16_t GameMode) {
  switch (GameMode) {
    case 0:
      return 0.5;
    case 1:
      return 1.2;
    case 2:
      return 3.0;
    default:
      return 0.0;
  }
}

ScoreResult ComputeScore(int16_t GameMode, int16_t PlayerWins, int16_t CpuWins,
                         const std::vector<int32_t>& RoundTime,
                         const std::vector<int16_t>& PlayerWon,
                         const std::vector<int16_t>& RoundMoves) {
  if (RoundTime.size() != PlayerWon.size() || RoundTime.size() != RoundMoves.size()) {
    return Failure("the per-round records differ in length");
  }
  if (PlayerWins < 0 || CpuWins < 0) return Failure("a negative count of won rounds");
  Sums sums;
  for (std::size_t i = 0; i < RoundTime.size(); ++i) {
    const bool won = PlayerWon[i] != 0;
    int32_t& time = won ? sums.won_time : sums.lost_time;
    if (__builtin_add_overflow(time, RoundTime[i], &time)) {
      return Failure("the sum of the round times does not fit in 32 bits");
    }
    (won ? sums.won_moves : sums.lost_moves) += RoundMoves[i];
  }
  ScoreResult result;
  if (__builtin_add_overflow(sums.won_time, sums.lost_time, &result.TotalTime)) {
    return Failure("the total time does not fit in 32 bits");
  }
  result.TotalMoves = sums.won_moves + sums.lost_moves;

  int32_t a = 3000;
  double m = 20.0;
  if (PlayerWins != 0) {
    a = AverageTenths(sums.won_time, PlayerWins);
    m = sums.won_moves / PlayerWins;
  }
  const int32_t b = CpuWins != 0 ? AverageTenths(sums.lost_time, CpuWins) : 0;
  const double s = ((3000.0 - a) * DifficultyFactor(GameMode) - b) * (20.0 / m) * 9.25;
  const double rounded = RoundHalfEven(s);
  // A move average of 0 (never in a real match) makes s infinite or not a number.
  if (std::isnan(rounded) || rounded > std::numeric_limits<int32_t>::max()) {
    return Failure("the score does not fit in 32 bits");
  }
  result.score = rounded < 0 ? 0 : static_cast<int32_t>(rounded);
  result.ok = true;
  return result;
}

RankEntryArgs RankEntryFor(const ScoreResult& result, int16_t PlayerWins) {
  if (PlayerWins == 0) return {result.score, 0.0, 0};
  return {result.score, result.TotalMoves, result.TotalTime / 10};
}

MatchScoring RecordMatchResult(int16_t GameMode, int16_t RoundCount, int16_t PlayerWins,
                               int16_t CpuWins, const std::vector<int32_t>& RoundTime,
                               const std::vector<int16_t>& PlayerWon,
                               const std::vector<int16_t>& RoundMoves, RankingBook& book) {
  MatchScoring out;
  const ScoreResult result =
      ComputeScore(GameMode, PlayerWins, CpuWins, RoundTime, PlayerWon, RoundMoves);
  out.TotalTime = result.TotalTime;
  out.TotalMoves = result.TotalMoves;
  if (!result.ok) {
    out.error = result.error;
    return out;
  }
  out.score = result.score;
  const BookEntry entered = book.Enter(GameMode, RoundCount, RankEntryFor(result, PlayerWins));
  out.RankIn = entered.place;
  out.error = entered.error;
  out.ok = entered.ok;
  return out;
}

}  // namespace rv
