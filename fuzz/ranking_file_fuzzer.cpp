// rvdat.dat from another hand: the start-up read, the entry of a result that follows a match,
// the rewrite that must keep the file's tail, and the numbers the ranking screen shows.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "game/ranking/display_values.h"
#include "game/ranking/ranking_file.h"
#include "game/ranking/ranking_tables.h"

namespace {

using rv::fuzz::Require;

constexpr int16_t kRoundCounts[] = {1, 3, 5, 7, 9};

// The list of (mode, rounds) after an entry, worked out apart from the code under test: the
// new result goes above the first place whose score it reaches, the ninth place drops out.
// Returns the place, or -1 with the tables unchanged.
int ModelInsert(rv::RankingTables& t, int16_t mode, int16_t rounds, int32_t score, double moves,
                int32_t time) {
  if (score == 0) return -1;
  int place = 0;
  while (place < rv::kRankPlaces && score < t.RankScore[rv::RankIndex(mode, rounds, place)]) {
    ++place;
  }
  if (place == rv::kRankPlaces) return -1;
  for (int p = rv::kRankPlaces - 1; p > place; --p) {
    const int to = rv::RankIndex(mode, rounds, p);
    const int from = rv::RankIndex(mode, rounds, p - 1);
    t.RankScore[to] = t.RankScore[from];
    t.RankMoves[to] = t.RankMoves[from];
    t.RankTime[to] = t.RankTime[from];
  }
  const int at = rv::RankIndex(mode, rounds, place);
  t.RankScore[at] = score;
  t.RankMoves[at] = moves;
  t.RankTime[at] = time;
  return place + 1;
}

// Bit for bit, so that NaN moves compare too.
bool SameBits(const rv::RankingTables& a, const rv::RankingTables& b) {
  return std::memcmp(a.RankScore.data(), b.RankScore.data(), sizeof a.RankScore) == 0 &&
         std::memcmp(a.RankMoves.data(), b.RankMoves.data(), sizeof a.RankMoves) == 0 &&
         std::memcmp(a.RankTime.data(), b.RankTime.data(), sizeof a.RankTime) == 0;
}

// Every other list stays untouched.
void CheckInsertion(const rv::RankingTables& before, int16_t mode, int16_t rounds, int32_t score,
                    double moves, int32_t time) {
  rv::RankingTables got = before;
  rv::RankingTables want = before;
  const int16_t place = rv::InsertRankEntry(got, mode, rounds, score, moves, time);
  Require(place == ModelInsert(want, mode, rounds, score, moves, time),
          "the result entered at the wrong place");
  Require(SameBits(got, want), "the tables are not the old ones with the result in its place");
}

void CheckShownValues(const rv::RankingTables& t) {
  for (int i = 0; i < rv::kRankEntries; ++i) {
    const int32_t score = rv::ShownScore(t.RankScore[i]);
    const int32_t moves = rv::ShownMoves(t.RankMoves[i]);
    Require(score >= 0 && score <= rv::kMaxShownScore, "a score the screen cannot show");
    Require(moves >= 0 && moves <= rv::kMaxShownMoves, "a move count the screen cannot show");
    for (const rv::DigitBuffer& digits :
         {rv::SplitDigits(score, rv::kScorePlaces), rv::SplitDigits(moves, rv::kMovePlaces)}) {
      Require(digits.count >= 1 && digits.count <= rv::kScorePlaces, "a digit count off");
      for (int d = 0; d < digits.count; ++d) {
        Require(digits.digit[d] >= 0 && digits.digit[d] <= 9, "a digit outside 0..9");
      }
    }
    for (int16_t glyph : rv::TimeGlyphs(t.RankTime[i])) {
      Require(glyph >= 0 && glyph <= rv::kTimeSeparatorGlyph, "a time glyph outside its strip");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const rv::fuzz::ScratchFolder folder("ranking");
  const std::filesystem::path file = folder.path() / "rvdat.dat";
  rv::fuzz::WriteBytes(file, data, size);

  rv::RankingLoad load = rv::LoadRankingFile(file);
  Require(load.ok, "a regular file that could not be loaded");
  // The whole table is what the file holds (zeros past a short end), bit for bit.
  std::array<uint8_t, rv::kRankingFileSize> padded{};
  std::memcpy(padded.data(), data, std::min(size, rv::kRankingFileSize));
  Require(rv::EncodeRanking(load.tables) == padded, "the loaded table differs from the file");
  CheckShownValues(load.tables);

  // A result that ties each list's top, one that ties its fifth place, and the lowest that
  // can enter at all.
  for (int16_t mode = 0; mode < 3; ++mode) {
    for (int16_t rounds : kRoundCounts) {
      const int32_t top = load.tables.RankScore[rv::RankIndex(mode, rounds, 0)];
      const int32_t fifth = load.tables.RankScore[rv::RankIndex(mode, rounds, 4)];
      for (int32_t score : {top, fifth, int32_t{1}}) {
        CheckInsertion(load.tables, mode, rounds, score, 12.0, 3456);
      }
    }
  }
  // Kinds of match without a list never enter.
  for (auto [mode, rounds] : {std::pair<int16_t, int16_t>{-1, 9}, {3, 1}, {0, 0}, {2, 10}}) {
    rv::RankingTables copy = load.tables;
    Require(rv::InsertRankEntry(copy, mode, rounds, 1000, 1.0, 1) == -1, "a list that is none");
  }

  // As after a match: one result enters (the top score of a list the input picks), the file
  // is rewritten, and the bytes past the table survive.
  const auto mode = static_cast<int16_t>(size % 3);
  const int16_t rounds = kRoundCounts[(size / 3) % 5];
  const int32_t top = load.tables.RankScore[rv::RankIndex(mode, rounds, 0)];
  const int32_t score = top > 0 ? top : 1;
  if (rv::InsertRankEntry(load.tables, mode, rounds, score, 9.0, 4321) != -1) {
    const rv::FileResult written = rv::WriteRankingFile(file, load.tables);
    Require(written.ok, "the rewrite failed");
    const std::vector<uint8_t> now = rv::fuzz::ReadBytes(file);
    const std::array<uint8_t, rv::kRankingFileSize> table = rv::EncodeRanking(load.tables);
    Require(now.size() == std::max(size, rv::kRankingFileSize), "the rewrite changed the length");
    Require(std::equal(table.begin(), table.end(), now.begin()), "the rewrite lost the table");
    if (size > rv::kRankingFileSize) {
      Require(std::equal(data + rv::kRankingFileSize, data + size, now.begin() + table.size()),
              "the rewrite lost the tail");
    }
  }
  return 0;
}
