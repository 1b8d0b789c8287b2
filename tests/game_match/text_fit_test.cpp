// The build's check of a catalogue: the Japanese and the English catalogue fit every space
// the match draws in; a text too long for its space, or holding a line break, is refused
// with the Japanese, the translation and the space named.

#include "game/match/text_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/gfx/surface.h"
#include "game/gfx/text.h"
#include "game/match/drawn_texts.h"
#include "lang/catalogue.h"
#include "support/japanese_text.h"
#include "support/latin_face.h"
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
  // Every text as written is drawn in the Japanese face; a catalogue's, in DejaVu Sans (its
  // bold cut when bold) unless it holds Japanese script (a text left untranslated).
  bool as_written = false;
};

constexpr uint32_t kGround = 0x808080;

// Whether the game drew the text as a renderer with `file` alone draws it (bold from the
// file's own cut when bold_cut): which face it was drawn in.
bool DrawnAsIn(TextRenderer& text, DrawnText d, const std::filesystem::path& file, bool bold_cut) {
  std::string error;
  const std::unique_ptr<TextRenderer> only = TextRenderer::OpenFile(file, &error);
  if (!only) return false;
  Surface got(640, 480, kGround), want(640, 480, kGround);
  got.text().font_px = want.text().font_px = DrawnState(d).font_px;
  DrawText(text, got, d, false);
  if (bold_cut) d.bold = 0;
  DrawText(*only, want, d, false);
  return std::equal(got.data(), got.data() + 640 * 480, want.data());
}

TEST(TextFit, RefusesEveryTextThatLeavesItsSpaceOrBreaksItsLine) {
  std::string error;
  const std::unique_ptr<TextRenderer> text = TextRenderer::Open(&error);
  ASSERT_TRUE(text) << error;
  const std::vector<FitCase> cases = {
      {"the Japanese as written", Pairs{}, {}, true},
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
      {"a ranking line that ends on the panel's edge, without its margin",
       Pairs{{"", kHeader}, {"results\x04%1位", "No. %1"}, {"にランクイン！", "in the ranking!"}},
       {{"\"in the ranking!\"", "the line after the place", "does not fit"}}},
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
    for (const DrawnText& d : EveryDrawnText(*words, *text)) {
      const bool gothic = c.as_written || FirstJapaneseCodePoint(d.text) != 0;
      const bool bold = d.bold == -1;
      const std::filesystem::path file = gothic ? text->file()
                                         : bold ? test::kDejaVuSansBoldFile
                                                : test::kDejaVuSansFile;
      EXPECT_TRUE(DrawnAsIn(*text, d, file, bold && !gothic))
          << d.where << ": \"" << d.text << "\" is not drawn as in " << file;
    }
  }
}

// Without DejaVu Sans the English texts cannot be measured as they are drawn: refused, while
// Japanese needs no Latin face.
TEST(TextFit, RefusesALatinLanguageWithoutTheLatinFace) {
  std::string error;
  const std::unique_ptr<TextRenderer> full = TextRenderer::Open(&error);
  ASSERT_TRUE(full) << error;
  const std::unique_ptr<TextRenderer> japanese_only = TextRenderer::OpenFile(full->file(), &error);
  ASSERT_TRUE(japanese_only) << error;
  const auto english = Catalogue::Parse(BuiltCatalogue("en"), &error);
  ASSERT_TRUE(english) << error;
  const std::vector<std::string> refused = TextsThatDoNotFit(*english, *japanese_only);
  ASSERT_FALSE(refused.empty());
  EXPECT_NE(refused.front().find("DejaVu Sans"), std::string::npos) << refused.front();
  EXPECT_TRUE(TextsThatDoNotFit(Catalogue{}, *japanese_only).empty());
}

}  // namespace
}  // namespace rv::test
