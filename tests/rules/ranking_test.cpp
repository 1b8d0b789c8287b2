#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "game/ranking/ranking_file.h"
#include "game/ranking/ranking_tables.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace rv {
namespace {

int32_t Int32At(const std::vector<uint8_t>& b, std::size_t off) {
  return static_cast<int32_t>(b[off] | b[off + 1] << 8 | b[off + 2] << 16 |
                              static_cast<uint32_t>(b[off + 3]) << 24);
}

double DoubleAt(const std::vector<uint8_t>& b, std::size_t off) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | b[off + i];
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

TEST(RankingTablesTest, IndexPutsDifficultyFastestAndPlaceSlowest) {
  EXPECT_EQ(RankIndex(0, 1, 0), 0);
  EXPECT_EQ(RankIndex(2, 1, 0), 2);
  EXPECT_EQ(RankIndex(0, 3, 0), 3);
  EXPECT_EQ(4 * RankIndex(2, 5, 0), 32);
  EXPECT_EQ(RankIndex(2, 9, 8), 134);
}

TEST(RankingTablesTest, InsertFillsFromTheTopAndRefusesZero) {
  RankingTables t;
  EXPECT_EQ(InsertRankEntry(t, 1, 3, 0, 10.0, 100), -1);
  EXPECT_EQ(t, RankingTables());
  EXPECT_EQ(InsertRankEntry(t, 1, 3, 500, 10.0, 100), 1);
  EXPECT_EQ(InsertRankEntry(t, 1, 3, 300, 12.0, 200), 2);
  EXPECT_EQ(InsertRankEntry(t, 1, 3, 400, 11.0, 150), 2);
  EXPECT_EQ(t.RankScore[RankIndex(1, 3, 1)], 400);
  EXPECT_EQ(t.RankMoves[RankIndex(1, 3, 2)], 12.0);
  EXPECT_EQ(t.RankTime[RankIndex(1, 3, 2)], 200);
}

TEST(RankingTablesTest, EqualScoreRanksAboveAndTheOldNinthDrops) {
  RankingTables t;
  for (int i = 0; i < 9; ++i) ASSERT_EQ(InsertRankEntry(t, 0, 1, 100, i, i), 1);
  EXPECT_EQ(InsertRankEntry(t, 0, 1, 100, 99.0, 999), 1);
  EXPECT_EQ(t.RankTime[RankIndex(0, 1, 0)], 999);
  // The earlier entries moved down one place; the very first one (time 0) is gone.
  for (int p = 1; p < 9; ++p) EXPECT_EQ(t.RankTime[RankIndex(0, 1, p)], 9 - p);
  const RankingTables before = t;
  EXPECT_EQ(InsertRankEntry(t, 0, 1, 99, 1.0, 1), -1);
  EXPECT_EQ(t, before);
}

TEST(RankingTablesTest, OnlyTheListOfTheKindOfMatchChanges) {
  RankingTables t;
  ASSERT_EQ(InsertRankEntry(t, 2, 5, 77, 5.0, 50), 1);
  for (int i = 0; i < kRankEntries; ++i) {
    EXPECT_EQ(t.RankScore[i], i == 8 ? 77 : 0) << i;
  }
  EXPECT_EQ(InsertRankEntry(t, 3, 5, 77, 5.0, 50), -1);
  EXPECT_EQ(InsertRankEntry(t, 0, 11, 77, 5.0, 50), -1);
  EXPECT_EQ(InsertRankEntry(t, -1, 1, 77, 5.0, 50), -1);
}

TEST(RankingTablesTest, ListsStayOrderedUnderManyInserts) {
  RankingTables t;
  std::mt19937 gen(3);
  for (int i = 0; i < 2000; ++i) {
    const auto m = static_cast<int16_t>(gen() % 3);
    const auto r = static_cast<int16_t>(1 + 2 * (gen() % 5));
    InsertRankEntry(t, m, r, static_cast<int32_t>(gen() % 1000), 1.0, 1);
  }
  for (int list = 0; list < 15; ++list) {
    for (int p = 1; p < 9; ++p) {
      EXPECT_GE(t.RankScore[list + 15 * (p - 1)], t.RankScore[list + 15 * p]);
    }
  }
}

TEST(RankingFileTest, AMissingFileIsCreatedEmptyAndTheFirstResultWritesAllBytes) {
  test::TempFolder dir;
  const auto file = dir / "rvdat.dat";
  // A tool recording into the folder reads it as empty and leaves it missing.
  EXPECT_TRUE(LoadRankingFile(file, MissingRanking::kLeave).ok && !std::filesystem::exists(file));
  RankingLoad loaded = LoadRankingFile(file);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(std::filesystem::file_size(file), 0u);
  EXPECT_EQ(loaded.tables, RankingTables());

  const int m = 1, r = 7 / 2;
  ASSERT_EQ(InsertRankEntry(loaded.tables, 1, 7, 5, 12.0, 3456), 1);
  ASSERT_TRUE(WriteRankingFile(file, loaded.tables).ok);
  const std::vector<uint8_t> bytes = test::ReadBytes(file);
  ASSERT_EQ(bytes.size(), 2160u);
  EXPECT_EQ(Int32At(bytes, 4 * (m + 3 * r)), 5);
  EXPECT_EQ(DoubleAt(bytes, 540 + 8 * (m + 3 * r)), 12.0);
  EXPECT_EQ(Int32At(bytes, 1620 + 4 * (m + 3 * r)), 3456);
  int nonzero = 0;
  for (uint8_t b : bytes) nonzero += b != 0;
  EXPECT_EQ(nonzero, 1 + 2 + 2);  // 05; 40 28 (12.0); 80 0D (3456)
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(RankingFileTest, AShortFileReadsZerosPastItsEnd) {
  test::TempFolder dir;
  const auto file = dir / "rvdat.dat";
  test::WriteBytes(file, {0x2A, 0, 0, 0, 0xFF, 0xFF});
  RankingLoad loaded = LoadRankingFile(file);
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.tables.RankScore[0], 42);
  EXPECT_EQ(loaded.tables.RankScore[1], 0xFFFF);
  EXPECT_EQ(loaded.tables.RankScore[2], 0);
  EXPECT_EQ(loaded.tables.RankMoves[0], 0.0);
}

TEST(RankingFileTest, BytesPastTheTablesSurviveTheRewrite) {
  test::TempFolder dir;
  const auto file = dir / "rvdat.dat";
  std::vector<uint8_t> bytes(3000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
  test::WriteBytes(file, bytes);
  RankingLoad loaded = LoadRankingFile(file);
  ASSERT_TRUE(loaded.ok);
  ASSERT_TRUE(WriteRankingFile(file, loaded.tables).ok);
  EXPECT_EQ(test::ReadBytes(file), bytes);  // the same tables and the same 840-byte tail
  InsertRankEntry(loaded.tables, 0, 1, std::numeric_limits<int32_t>::max(), 1.0, 1);
  ASSERT_TRUE(WriteRankingFile(file, loaded.tables).ok);
  const std::vector<uint8_t> after = test::ReadBytes(file);
  ASSERT_EQ(after.size(), 3000u);
  EXPECT_TRUE(std::equal(after.begin() + 2160, after.end(), bytes.begin() + 2160));
}

TEST(RankingFileTest, ValuesFromAnotherHandAreKeptBitForBit) {
  RankingTables t;
  t.RankScore[0] = -5;
  t.RankScore[1] = 12345678;
  t.RankMoves[0] = std::numeric_limits<double>::quiet_NaN();
  t.RankMoves[1] = -std::numeric_limits<double>::infinity();
  t.RankMoves[2] = 1e300;
  t.RankTime[0] = -1;
  t.RankTime[1] = 600000;
  const auto bytes = EncodeRanking(t);
  const RankingTables back = DecodeRanking(bytes.data(), bytes.size());
  EXPECT_EQ(back.RankScore, t.RankScore);
  EXPECT_EQ(back.RankTime, t.RankTime);
  EXPECT_TRUE(std::isnan(back.RankMoves[0]));
  EXPECT_EQ(back.RankMoves[1], t.RankMoves[1]);
  EXPECT_EQ(back.RankMoves[2], 1e300);
  EXPECT_EQ(EncodeRanking(back), bytes);
}

TEST(RankingFileTest, AFileThatCannotBeOpenedIsAnErrorNamingIt) {
  test::TempFolder dir;
  const auto folder_in_the_way = dir / "rvdat.dat";
  std::filesystem::create_directory(folder_in_the_way);
  RankingLoad loaded = LoadRankingFile(folder_in_the_way);
  EXPECT_FALSE(loaded.ok);
  EXPECT_NE(loaded.error.find(folder_in_the_way.string()), std::string::npos);

  const auto nowhere = dir / "missing" / "rvdat.dat";
  loaded = LoadRankingFile(nowhere);
  EXPECT_FALSE(loaded.ok);
  EXPECT_NE(loaded.error.find("rvdat.dat"), std::string::npos);
}

TEST(RankingFileTest, AFailedRewriteLeavesTheOldFileAndNoTemporaryFile) {
  test::TempFolder dir;
  RankingTables t;
  t.RankScore[0] = 9;
  EXPECT_FALSE(WriteRankingFile(dir / "missing" / "rvdat.dat", t).ok);

  const auto folder_in_the_way = dir / "rvdat.dat";
  std::filesystem::create_directory(folder_in_the_way);
  const FileResult r = WriteRankingFile(folder_in_the_way, t);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder_in_the_way));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(RankingFileTest, AReadOnlyFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  test::TempFolder dir;
  const auto file = dir / "rvdat.dat";
  test::WriteBytes(file, std::vector<uint8_t>(2160, 0));
  std::filesystem::permissions(file, std::filesystem::perms::owner_read);
  RankingTables t;
  t.RankScore[0] = 9;
  EXPECT_FALSE(WriteRankingFile(file, t).ok);
  EXPECT_EQ(test::ReadBytes(file), std::vector<uint8_t>(2160, 0));
}

TEST(RankingFileTest, ALinkedFileIsRewrittenThroughTheLink) {
  test::TempFolder dir;
  const auto real = dir / "real.dat";
  const auto link = dir / "rvdat.dat";
  test::WriteBytes(real, {});
  std::filesystem::create_symlink(real, link);
  RankingTables t;
  t.RankScore[3] = 7;
  ASSERT_TRUE(WriteRankingFile(link, t).ok);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(LoadRankingFile(real).tables, t);
}

}  // namespace
}  // namespace rv
