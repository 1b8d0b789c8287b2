// The build's check of a catalogue: the Japanese and the English catalogue fit every space
// the match draws in; a text too long for its space, or holding a line break, is refused
// with the Japanese, the translation and the space named.

#include "game/match/text_fit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/gfx/text.h"
#include "lang/catalogue.h"
#include "support/mo_file.h"

namespace rv::test {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

const std::string kHeader = "Content-Type: text/plain; charset=UTF-8\n";

std::string BuiltCatalogue(const std::string& lang) {
  std::ifstream in(std::string(RV_DIST_DIR) + "/locale/" + lang + "/LC_MESSAGES/ravolin.mo",
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct FitCase {
  const char* name;
  std::optional<Pairs> pairs;  // none: the built English catalogue
  // What each refusal must name, one refusal per entry; none when the catalogue fits.
  std::vector<std::vector<std::string>> refusals;
};

TEST(TextFit, RefusesEveryTextThatLeavesItsSpaceOrBreaksItsLine) {
  std::string error;
  const std::unique_ptr<TextRenderer> text = TextRenderer::Open(&error);
  ASSERT_TRUE(text) << error;
  const std::vector<FitCase> cases = {
      {"the Japanese as written", Pairs{}, {}},
      {"the English catalogue of the build", std::nullopt, {}},
      {"a label running over its value",
       Pairs{{"", kHeader}, {"戦闘時間", "Time Time Time Time"}},
       {{"\"戦闘時間\"", "\"Time Time Time Time\"", "the battle time's label", "does not fit"}}},
      {"a title running off the panel",
       Pairs{{"", kHeader}, {"試合終了！", "Match over! The battle is won and done"}},
       {{"\"試合終了！\"", "the results' title", "does not fit"}}},
      {"a line break in the title",
       Pairs{{"", kHeader}, {"試合終了！", "Match\nover!"}},
       {{"\"試合終了！\"", "\"Match\\nover!\"", "the results' title", "line break"}}},
      {"a ranking line pushed off the panel by a long place",
       Pairs{{"", kHeader},
             {"results\x04%1位", "Place number %1"},
             {"にランクイン！", "in the ranking of the best!"}},
       {{"\"にランクイン！\"", "\"in the ranking of the best!\"", "the line after the place",
         "does not fit"}}},
      {"a name too long for the roulette and the banner",
       Pairs{{"", kHeader}, {"プレイヤー", "The player at the keyboard"}},
       {{"\"プレイヤー\"", "the roulette's player line", "does not fit"},
        {"\"%1の勝利！\"", "\"The player at the keyboardの勝利！\"", "the winner banner"}}},
      {"a line break in the banner's pattern",
       Pairs{{"", kHeader}, {"%1の勝利！", "%1\nwins!"}},
       {{"\"%1の勝利！\"", "\"プレイヤー\\nwins!\"", "line break"},
        {"\"%1の勝利！\"", "\"ＣＰＵ\\nwins!\"", "line break"}}},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto words = Catalogue::Parse(c.pairs ? MakeMo(*c.pairs) : BuiltCatalogue("en"), &error);
    ASSERT_TRUE(words) << error;
    if (!c.pairs) {
      ASSERT_FALSE(words->empty());
    }
    const std::vector<std::string> refused = TextsThatDoNotFit(*words, *text);
    ASSERT_EQ(refused.size(), c.refusals.size()) << (refused.empty() ? "" : refused.front());
    for (size_t i = 0; i < refused.size(); ++i) {
      for (const std::string& named : c.refusals[i]) {
        EXPECT_NE(refused[i].find(named), std::string::npos) << refused[i] << " lacks " << named;
      }
    }
  }
}

}  // namespace
}  // namespace rv::test
