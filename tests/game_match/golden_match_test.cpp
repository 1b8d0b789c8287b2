// The golden matches replayed with the real game code and compared line by line with their
// recorded transcripts. To re-record after a change meant to alter behaviour:
//   cmake --build build --target record-golden-match
// and commit the transcripts' diff with the change.

#include "golden_match.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace rv::test {
namespace {

const std::filesystem::path kGoldenFolder = RV_GOLDEN_DIR;

bool Recording() {
  const char* value = std::getenv("RV_RECORD_GOLDEN");
  return value != nullptr && std::string(value) == "1";
}

class GoldenMatchTest : public ::testing::TestWithParam<GoldenMatch> {};

TEST_P(GoldenMatchTest, ReplaysAsRecorded) {
  const GoldenMatch& match = GetParam();
  const std::vector<std::string> actual = RecordGoldenMatch(match);
  const std::filesystem::path file = kGoldenFolder / match.name;
  if (Recording()) {
    ASSERT_TRUE(WriteTranscript(file, actual)) << "cannot write " << file;
    GTEST_SKIP() << "recorded " << file << " (" << actual.size() << " lines)";
  }
  const std::vector<std::string> expected = ReadTranscript(file);
  ASSERT_FALSE(expected.empty()) << file << " is missing: record it (see the comment on top)";
  const std::optional<std::string> difference = FirstDifference(expected, actual);
  EXPECT_EQ(difference, std::nullopt) << match.name << ": " << *difference;
}

// The same match twice in one process: a transcript that depended on anything but the seed
// (the clock, the order of a hash table, a leftover of the last match) could not be golden.
TEST(GoldenTranscript, IsTheSameTwiceInOneProcess) {
  const GoldenMatch& match = GoldenMatches().front();
  EXPECT_EQ(FirstDifference(RecordGoldenMatch(match), RecordGoldenMatch(match)), std::nullopt);
}

TEST(GoldenTranscript, FirstDifferenceNamesTheLineAndTheEventBeforeAFrame) {
  const std::vector<std::string> a = {"match", "place 5 player 1 2", "frame 6 aa", "frame 7 bb"};
  std::vector<std::string> b = a;
  b[3] = "frame 7 cc";
  const std::optional<std::string> found = FirstDifference(a, b);
  ASSERT_TRUE(found.has_value());
  EXPECT_NE(found->find("line 4"), std::string::npos) << *found;
  EXPECT_NE(found->find("place 5 player 1 2"), std::string::npos) << *found;
  EXPECT_NE(FirstDifference(a, {a.begin(), a.end() - 1}), std::nullopt);
  EXPECT_EQ(FirstDifference(a, a), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(EachStrength, GoldenMatchTest, ::testing::ValuesIn(GoldenMatches()),
                         [](const ::testing::TestParamInfo<GoldenMatch>& info) {
                           return "mode" + std::to_string(info.param.mode);
                         });

}  // namespace
}  // namespace rv::test
