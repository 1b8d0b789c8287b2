#include "game/ranking/score.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "game/ranking/ranking_file.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace rv {
namespace {

struct Rounds {
  std::vector<int32_t> time;
  std::vector<int16_t> won;
  std::vector<int16_t> moves;
  int16_t player_wins = 0;
  int16_t cpu_wins = 0;

  Rounds& Add(int32_t ms, bool player, int16_t m) {
    time.push_back(ms);
    won.push_back(player ? -1 : 0);
    moves.push_back(m);
    ++(player ? player_wins : cpu_wins);
    return *this;
  }
  ScoreResult Score(int16_t mode) const {
    return ComputeScore(mode, player_wins, cpu_wins, time, won, moves);
  }
};

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, double> rows[] = {
      {0.5, 0.0},   {1.5, 2.0},   {2.5, 2.0},    {159562.5, 159562.0}, {123456.5, 123456.0},
      {-1.5, -2.0}, {-2.5, -2.0}, {2.4999, 2.0}, {2.5001, 3.0}};
  for (const auto& [value, rounded] : rows) EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

// A successful score and the totals it was made of.
void ExpectScore(const ScoreResult& r, int32_t score, int32_t total_time, double total_moves) {
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.score, score);
  EXPECT_EQ(r.TotalTime, total_time);
  EXPECT_EQ(r.TotalMoves, total_moves);
}

TEST(ScoreTest, OneWonRoundOfAMinuteInTenMoves) {
  const ScoreResult r = Rounds().Add(60000, true, 10).Score(1);
  ExpectScore(r, 53280, 60000, 10.0);
  const RankEntryArgs e = RankEntryFor(r, 1);
  EXPECT_EQ(e.score, 53280);
  EXPECT_EQ(e.moves, 10.0);
  EXPECT_EQ(e.time, 6000);
}

TEST(ScoreTest, ThreeRoundsWithALossRoundTheFinalHalfToEven) {
  // A = 600, M = 8, B = 300: (2400 * 3 - 300) * 2.5 * 9.25 = 159562.5.
  ExpectScore(Rounds().Add(40000, true, 6).Add(30000, false, 8).Add(80000, true, 10).Score(2),
              159562, 150000, 24.0);
}

TEST(ScoreTest, AllRoundsLostScoresZeroButKeepsTheTotals) {
  Rounds rounds;
  rounds.Add(1000, false, 5).Add(2000, false, 7).Add(3005, false, 9);
  const ScoreResult r = rounds.Score(2);
  ExpectScore(r, 0, 6005, 21.0);
  const RankEntryArgs e = RankEntryFor(r, 0);
  EXPECT_EQ(e.moves, 0.0);
  EXPECT_EQ(e.time, 0);
}

TEST(ScoreTest, AverageIsRoundedToWholeMillisecondsBeforeTheTenths) {
  // 246999 / 2 = 123499.5 -> 123500 (even) -> A = 1235; dropping the half would give 1234.
  const ScoreResult r = Rounds().Add(123000, true, 10).Add(123999, true, 10).Score(2);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.score, static_cast<int32_t>(RoundHalfEven((3000 - 1235) * 3.0 * 2.0 * 9.25)));
}

TEST(ScoreTest, SlowWinsAndSlowLossesNeverGoBelowZero) {
  EXPECT_EQ(Rounds().Add(300000, true, 4).Score(2).score, 0);
  // 599999 / 2 = 299999.5 rounds to 300000 ms, 3000 tenths: nothing left of the time part.
  EXPECT_EQ(Rounds().Add(299999, true, 4).Add(300000, true, 4).Score(2).score, 0);
  EXPECT_GT(Rounds().Add(299899, true, 4).Score(2).score, 0);
  EXPECT_EQ(Rounds().Add(400000, true, 4).Score(2).score, 0);
  const ScoreResult r = Rounds().Add(290000, true, 4).Add(900000, false, 4).Score(0);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.score, 0);                                     // (100 * 0.5 - 9000) is negative
  EXPECT_EQ(Rounds().Add(1000, true, 4).Score(7).score, 0);  // no factor for other modes
}

TEST(ScoreTest, OverflowingSumsAreErrorsNotWrappedNumbers) {
  const int32_t big = std::numeric_limits<int32_t>::max() - 10;
  ScoreResult r = Rounds().Add(big, true, 5).Add(100, true, 5).Score(1);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  r = Rounds().Add(big, true, 5).Add(big, false, 5).Score(1);
  EXPECT_FALSE(r.ok);
  r = Rounds().Add(big, true, 5).Score(1);  // one long round alone is fine
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.score, 0);
}

TEST(ScoreTest, RecordsThatDoNotFitTogetherAreErrors) {
  EXPECT_FALSE(ComputeScore(1, 1, 0, {1000}, {-1, 0}, {5}).ok);
  // Won rounds without moves cannot come from a match; the score must not be garbage.
  const ScoreResult r = ComputeScore(1, 1, 0, {1000}, {-1}, {0});
  EXPECT_FALSE(r.ok);
}

TEST(RecordMatchResultTest, RankedResultsAreWrittenAndUnrankedOnesAreNot) {
  test::TempFolder dir;
  const auto file = dir / "rvdat.dat";
  RankingTables tables;
  OwnRanking book(tables, file);
  MatchScoring lost = RecordMatchResult(1, 1, 0, 1, {5000}, {0}, {9}, book);
  ASSERT_TRUE(lost.ok);
  EXPECT_EQ(lost.RankIn, -1);
  EXPECT_FALSE(std::filesystem::exists(file));

  MatchScoring won = RecordMatchResult(1, 1, 1, 0, {60005}, {-1}, {10}, book);
  ASSERT_TRUE(won.ok) << won.error;
  EXPECT_EQ(won.RankIn, 1);
  EXPECT_EQ(won.score, 53280);  // 60005 ms rounds to 600 tenths like 60000
  const RankingLoad back = LoadRankingFile(file);
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.tables.RankScore[RankIndex(1, 1, 0)], 53280);
  EXPECT_EQ(back.tables.RankTime[RankIndex(1, 1, 0)], 6000);
}

TEST(RecordMatchResultTest, AFileThatCannotBeWrittenIsReported) {
  test::TempFolder dir;
  RankingTables tables;
  OwnRanking book(tables, dir / "missing" / "rvdat.dat");
  const MatchScoring r = RecordMatchResult(2, 3, 1, 0, {9000}, {-1}, {4}, book);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("rvdat.dat"), std::string::npos);
}

}  // namespace
}  // namespace rv
