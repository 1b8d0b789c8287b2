// The compiled catalogue as the build writes it, in both byte orders, and every way a
// damaged one can lie about its tables: refused with a reason, never read out of bounds.

#include "lang/catalogue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lang/placeholders.h"
#include "support/mo_file.h"

namespace rv::test {
namespace {

void PutWord(std::string& mo, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) mo[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

const std::vector<std::pair<std::string, std::string>> kPairs = {
    {"", "Content-Type: text/plain; charset=UTF-8\n"},
    {"得点", "Score"},
    {"%1の勝利！", "%1 wins!"},
    {std::string("ctx\x04") + "得点", "Points"},
    {std::string("回\0回", 7), std::string("round\0rounds", 12)},
    {"手数", ""},
};

TEST(Catalogue, ReadsEitherByteOrderAndSkipsWhatItDoesNotUse) {
  for (const bool big : {false, true}) {
    SCOPED_TRACE(big ? "big-endian" : "little-endian");
    std::string error;
    const auto words = Catalogue::Parse(MakeMo(kPairs, big), &error);
    ASSERT_TRUE(words) << error;
    EXPECT_EQ(words->Tr("得点"), "Score");
    EXPECT_EQ(words->Tr("%1の勝利！"), "%1 wins!");
    // A context keeps its own translation apart from the plain text's.
    EXPECT_EQ(words->TrIn("ctx", "得点"), "Points");
    EXPECT_EQ(words->TrIn("other", "得点"), "得点");
    // The header, a plural entry and an empty text are not words of ours.
    EXPECT_EQ(words->size(), 3u);
    EXPECT_EQ(words->Tr("手数"), "手数");
    EXPECT_EQ(words->Tr("タイム"), "タイム");
  }
  EXPECT_EQ(Catalogue().Tr("試合終了！"), "試合終了！");
}

TEST(Catalogue, RefusesEveryLieAboutItsTables) {
  const std::string good = MakeMo(kPairs);
  struct Spoiled {
    const char* name;
    std::string bytes;
  };
  std::vector<Spoiled> cases = {
      {"empty", ""},
      {"shorter than its header", good.substr(0, 20)},
      {"cut inside the string pool", good.substr(0, good.size() - 3)},
      {"cut inside the tables", good.substr(0, 40)},
  };
  const auto with_word = [&](const char* name, std::size_t at, uint32_t v) {
    std::string bytes = good;
    PutWord(bytes, at, v);
    cases.push_back({name, bytes});
  };
  with_word("another magic", 0, 0x12345678);
  with_word("a major revision it cannot read", 4, 0x00020000);
  with_word("a count beyond the file", 8, 0x7FFFFFFF);
  with_word("the originals' table beyond the file", 12, 0xFFFFFFF0);
  with_word("the translations' table beyond the file", 16, 0xFFFFFFF0);
  with_word("a length beyond the file", 28 + 8, 0xFFFFFFFF);
  with_word("an offset beyond the file", 28 + 12, static_cast<uint32_t>(good.size()));
  with_word("a string without its end", 28 + 8, 1);  // "得点" is longer than 1 byte
  for (const Spoiled& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(Catalogue::Parse(c.bytes, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(FillPlaceholders, PutsEachValueInItsNumberedPlace) {
  struct Case {
    const char* pattern;
    std::vector<std::string> values;
    const char* expected;
  };
  const Case cases[] = {
      {"%1位", {"３"}, "３位"},
      {"No. %1", {"3"}, "No. 3"},
      {"%2 before %1", {"a", "b"}, "b before a"},
      {"%1%1", {"x"}, "xx"},
      {"100%% %1", {"sure"}, "100% sure"},
      {"%3 missing", {"a"}, " missing"},
      {"a % sign and %x", {"v"}, "a % sign and %x"},
      {"ends in %", {}, "ends in %"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    std::string out;
    if (c.values.empty()) {
      out = FillPlaceholders(c.pattern, {});
    } else if (c.values.size() == 1) {
      out = FillPlaceholders(c.pattern, {c.values[0]});
    } else {
      out = FillPlaceholders(c.pattern, {c.values[0], c.values[1]});
    }
    EXPECT_EQ(out, c.expected);
  }
}

}  // namespace
}  // namespace rv::test
