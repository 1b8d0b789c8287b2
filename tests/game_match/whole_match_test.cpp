// Whole matches in every difficulty and length, the player's side played by a bot: the
// per-round records, the move-pair counter, the score and the ranking file they produce.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>

#include "game/board/four_in_row.h"
#include "game/ranking/ranking_file.h"
#include "game/ranking/score.h"
#include "match_harness.h"
#include "support/file_bytes.h"

namespace rv::test {
namespace {

// The blocks of the side that moves second, plus one: the move pair under way.
int16_t ExpectedMoveRound(const MoveSample& s) {
  const int second = s.FirstMover == 1 ? s.cpu_blocks : s.player_blocks;
  return static_cast<int16_t>(second + 1);
}

class WholeMatch : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(WholeMatch, RecordsScoreAndRankingAgree) {
  const auto [mode, rounds] = GetParam();
  const uint64_t seed = static_cast<uint64_t>(100 * mode + rounds);
  MatchHarness h(seed);
  h.UseBot(seed % 2 == 0 ? PlayerKind::kGreedy : PlayerKind::kRandom, seed);
  const RankingTables before = h.game().ranking;

  ASSERT_EQ(h.Play(static_cast<int16_t>(mode), static_cast<int16_t>(rounds)), std::nullopt);
  const MatchState& m = h.game().match;

  // Every round was played and recorded, in order.
  ASSERT_EQ(m.RoundTime.size(), static_cast<std::size_t>(rounds));
  ASSERT_EQ(m.PlayerWon.size(), static_cast<std::size_t>(rounds));
  ASSERT_EQ(m.RoundMoves.size(), static_cast<std::size_t>(rounds));
  ASSERT_EQ(h.round_ends.size(), static_cast<std::size_t>(rounds));
  int16_t player_wins = 0;
  for (int i = 0; i < rounds; ++i) {
    SCOPED_TRACE("round " + std::to_string(i + 1));
    const RoundEnd& end = h.round_ends[static_cast<std::size_t>(i)];
    EXPECT_GT(m.RoundTime[i], 0);
    EXPECT_EQ(m.PlayerWon[i], end.winner == kPlayer ? -1 : 0);
    EXPECT_EQ(m.RoundMoves[i], end.MoveRound);
    player_wins = static_cast<int16_t>(player_wins + (end.winner == kPlayer));
    // A line decides the round for the side that made it, and the counter then equals the
    // number of blocks the winner placed. A full board goes to the CPU.
    const bool line = FindFour(end.board, end.winner);
    EXPECT_FALSE(FindFour(end.board, end.winner == kPlayer ? kCpu : kPlayer));
    if (line) {
      EXPECT_EQ(end.MoveRound, CountBlocks(end.board, end.winner));
    } else {
      EXPECT_EQ(end.winner, kCpu);
      EXPECT_TRUE(end.board.IsFull());
    }
  }

  // The counter at every quiet moment of play.
  ASSERT_FALSE(h.samples.empty());
  for (const MoveSample& s : h.samples) {
    ASSERT_EQ(s.MoveRound, ExpectedMoveRound(s))
        << "player " << s.player_blocks << " cpu " << s.cpu_blocks << " first " << s.FirstMover;
  }

  // The score and the entry, as the scoring rules make them from these records.
  RankingTables expected_tables = before;
  OwnRanking scratch(expected_tables, h.folder() / "expected.dat");
  const MatchScoring expected = RecordMatchResult(
      static_cast<int16_t>(mode), static_cast<int16_t>(rounds), player_wins,
      static_cast<int16_t>(rounds - player_wins), m.RoundTime, m.PlayerWon, m.RoundMoves, scratch);
  ASSERT_TRUE(expected.ok) << expected.error;
  EXPECT_EQ(h.game().totals.Score, expected.score);
  EXPECT_EQ(h.game().totals.RankIn, expected.RankIn);
  EXPECT_EQ(h.game().totals.TotalTime, expected.TotalTime);
  EXPECT_EQ(h.game().totals.TotalMoves, expected.TotalMoves);
  EXPECT_EQ(h.game().ranking, expected_tables);
  const std::vector<uint8_t> file = ReadBytes(h.folder() / "rvdat.dat");
  if (expected.RankIn == -1) {
    EXPECT_TRUE(file.empty());  // not ranked: the file start-up created stays untouched
  } else {
    const auto encoded = EncodeRanking(expected_tables);
    EXPECT_EQ(file, std::vector<uint8_t>(encoded.begin(), encoded.end()));
  }

  // The match state is cleared for the next selection; the records stay for the results.
  EXPECT_EQ(m.GameMode, 0);
  EXPECT_EQ(m.RoundCount, 0);
  EXPECT_EQ(m.RoundNo, 0);
  EXPECT_EQ(m.PlayerWins, 0);
  EXPECT_EQ(m.CpuWins, 0);
  EXPECT_EQ(m.MoveRound, 0);
  // Nothing went wrong on the way.
  EXPECT_TRUE(h.platform().Messages().empty());
  EXPECT_TRUE(std::filesystem::exists(h.folder() / "rvdat.cck"));
}

INSTANTIATE_TEST_SUITE_P(EveryDifficultyAndLength, WholeMatch,
                         ::testing::Combine(::testing::Values(0, 1, 2),
                                            ::testing::Values(1, 3, 5, 7, 9)));

// The four moments the counter is known for: the player begins (after the player's first
// block 1, after the CPU's 2) and the CPU begins (after its first block 1, after the
// player's 2). Seeds are searched until both openings have been played.
TEST(MoveRound, FirstMovesOfBothOpenings) {
  bool seen[2][2] = {{false, false}, {false, false}};  // [first mover - 1][second sample]
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    MatchHarness h(seed);
    h.UseBot(PlayerKind::kRandom, seed);
    ASSERT_EQ(h.Play(1, 3), std::nullopt);
    for (const MoveSample& s : h.samples) {
      if (s.FirstMover == 1 && s.player_blocks == 1 && s.cpu_blocks == 0) {
        EXPECT_TRUE(s.cpu_to_move);
        EXPECT_EQ(s.MoveRound, 1);
        seen[0][0] = true;
      } else if (s.FirstMover == 1 && s.player_blocks == 1 && s.cpu_blocks == 1) {
        EXPECT_FALSE(s.cpu_to_move);
        EXPECT_EQ(s.MoveRound, 2);
        seen[0][1] = true;
      } else if (s.FirstMover == 2 && s.cpu_blocks == 1 && s.player_blocks == 0) {
        EXPECT_FALSE(s.cpu_to_move);
        EXPECT_EQ(s.MoveRound, 1);
        seen[1][0] = true;
      } else if (s.FirstMover == 2 && s.cpu_blocks == 1 && s.player_blocks == 1) {
        EXPECT_TRUE(s.cpu_to_move);
        EXPECT_EQ(s.MoveRound, 2);
        seen[1][1] = true;
      }
    }
    if (seen[0][0] && seen[0][1] && seen[1][0] && seen[1][1]) break;
  }
  EXPECT_TRUE(seen[0][0] && seen[0][1]) << "no round the player began";
  EXPECT_TRUE(seen[1][0] && seen[1][1]) << "no round the CPU began";
}

// The same seeds give the same match, move for move.
TEST(WholeMatchReplay, SameSeedSameMatch) {
  auto play = [](uint64_t seed) {
    MatchHarness h(seed);
    h.UseBot(PlayerKind::kGreedy, seed);
    EXPECT_EQ(h.Play(2, 3), std::nullopt);
    return std::make_tuple(h.game().match.RoundTime, h.game().match.RoundMoves,
                           h.game().match.PlayerWon, h.platform().Now());
  };
  EXPECT_EQ(play(42), play(42));
  EXPECT_NE(play(42), play(43));
}

}  // namespace
}  // namespace rv::test
