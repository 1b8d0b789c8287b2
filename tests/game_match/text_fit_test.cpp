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

constexpr uint32_t kGround = 0x808080;

// The ink a text leaves, drawn unclipped where the game draws it.
struct Ink {
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

Ink InkOf(TextRenderer& text, const DrawnText& d) {
  Surface s(640, 480, kGround);
  s.text().font_px = DrawnState(d).font_px;
  DrawText(text, s, d, false);
  Ink ink;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (s.Pixel(x, y) == kGround) continue;
      ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

// The same text drawn by a renderer that has only `file` (bold from its own cut when
// bold_cut), to tell which face the game drew it in.
bool DrawnAsIn(TextRenderer& text, DrawnText d, const std::filesystem::path& file, bool bold_cut) {
  std::string error;
  const std::unique_ptr<TextRenderer> only = TextRenderer::OpenFile(file, &error);
  if (!only) return false;
  Surface got(640, 480, kGround), want(640, 480, kGround);
  got.text().font_px = want.text().font_px = DrawnState(d).font_px;
  DrawText(text, got, d, false);
  if (bold_cut) d.bold = 0;
  DrawText(*only, want, d, false);
  for (int y = 0; y < got.height(); ++y) {
    for (int x = 0; x < got.width(); ++x) {
      if (got.Pixel(x, y) != want.Pixel(x, y)) return false;
    }
  }
  return true;
}

// Every text of the match in each language: drawn in the language's face (Japanese in its
// Gothic, English in DejaVu Sans and its bold cut), and its ink inside the window or the
// panel it stands in with 4 pixels of air before the frame or the edge.
TEST(TextFit, EveryTextIsDrawnInItsLanguagesFaceWithAirInsideItsWindowOrPanel) {
  std::string error;
  const std::unique_ptr<TextRenderer> text = TextRenderer::Open(&error);
  ASSERT_TRUE(text) << error;
  // The roulette and the banner are composed 224 wide with a 4-px frame; the panel
  // spans x 200..439 of the screen.
  constexpr int kAir = 4;
  constexpr int kWindowInside[] = {4, 219};
  constexpr int kPanel[] = {200, 439};
  struct Language {
    const char* name;
    std::string mo;  // empty: Japanese as written
    bool latin;
  };
  for (const Language& language :
       {Language{"ja", "", false}, Language{"en", BuiltCatalogue("en"), true}}) {
    SCOPED_TRACE(language.name);
    const auto words = language.mo.empty() ? std::optional<Catalogue>(Catalogue{})
                                           : Catalogue::Parse(language.mo, &error);
    ASSERT_TRUE(words) << error;
    const std::vector<DrawnText> all = EveryDrawnText(*words, *text);
    ASSERT_GE(all.size(), 6u);
    for (const DrawnText& d : all) {
      SCOPED_TRACE(std::string(d.where) + ": " + d.text);
      const bool bold = d.bold == -1;
      if (language.latin) {
        EXPECT_TRUE(
            DrawnAsIn(*text, d, bold ? test::kDejaVuSansBoldFile : test::kDejaVuSansFile, bold));
      } else {
        EXPECT_TRUE(DrawnAsIn(*text, d, text->file(), false));
      }
      const Ink ink = InkOf(*text, d);
      ASSERT_GE(ink.right, 0) << "no ink";
      const bool in_window = d.target == TextTarget::kComposition;
      const int left = (in_window ? kWindowInside[0] : kPanel[0]) + kAir;
      const int right = (in_window ? kWindowInside[1] : kPanel[1]) - kAir;
      EXPECT_GE(ink.left, left);
      EXPECT_LE(ink.right, right);
      EXPECT_TRUE(d.space.Contains(ink.left, ink.top) && d.space.Contains(ink.right, ink.bottom))
          << "ink x " << ink.left << ".." << ink.right << ", y " << ink.top << ".." << ink.bottom;
    }
  }
}

}  // namespace
}  // namespace rv::test
