// The round's title in the language's order: the number before the word in Japanese, as the
// game has always drawn it, after it where the catalogue's pattern puts the word first.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "game/game.h"
#include "game/gfx/picture_set.h"
#include "game/match/match_drawing.h"
#include "lang/catalogue.h"
#include "match_harness.h"

namespace rv {
namespace {

Catalogue English() {
  const std::filesystem::path path =
      std::filesystem::path(RV_DIST_DIR) / "locale" / "en" / "LC_MESSAGES" / "ravolin.mo";
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string error;
  std::optional<Catalogue> c = Catalogue::Parse(bytes, &error);
  EXPECT_TRUE(c.has_value()) << error;
  return c ? *c : Catalogue{};
}

constexpr uint32_t kNumberColour = 0x203040, kWordColour = 0x506070, kGround = 0x0A0B0C;

TEST(RoundTitleOrder, NumberAndWordStandInTheOrderOfTheLanguagesPattern) {
  struct Row {
    bool english;
    int number_x;  // where the 65-px number lands
    int word_x;    // where the 289-px word lands
  };
  for (const Row& row : {Row{false, 150, 215}, Row{true, 439, 150}}) {
    SCOPED_TRACE(row.english ? "en" : "ja");
    test::MatchHarness h(1);
    Game& g = h.game();
    if (row.english) g.language.words = English();
    g.match.RoundNo = 3;
    // A counter picture of flat pieces on the transparent black, their top row black too.
    Surface counter(940, 100, 0);
    const rects::Rect n = rects::kRoundNumber(3), w = rects::kRoundWord;
    for (int y = 1; y < 100; ++y) {
      for (int x = n.x; x < n.Right(); ++x) counter.SetPixel(x, y, kNumberColour);
      for (int x = w.x; x < w.Right(); ++x) counter.SetPixel(x, y, kWordColour);
    }
    g.pictures.PicCounter = counter;
    g.display.GameScreen.PaintAll(kGround);
    DrawRoundTitle(g);
    const Surface& s = g.display.GameScreen;
    EXPECT_EQ(s.Pixel(row.number_x, 150) & 0xFFFFFFu, kGround);
    for (int y : {151, 200, 249}) {
      EXPECT_EQ(s.Pixel(row.number_x, y) & 0xFFFFFFu, kNumberColour);
      EXPECT_EQ(s.Pixel(row.number_x + 64, y) & 0xFFFFFFu, kNumberColour);
      EXPECT_EQ(s.Pixel(row.word_x, y) & 0xFFFFFFu, kWordColour);
      EXPECT_EQ(s.Pixel(row.word_x + 288, y) & 0xFFFFFFu, kWordColour);
      EXPECT_EQ(s.Pixel(149, y) & 0xFFFFFFu, kGround);
      EXPECT_EQ(s.Pixel(504, y) & 0xFFFFFFu, kGround);
    }
  }
}

// With the English pictures the word's ink comes first and the number's follows it, with
// some air between them; the word lies wholly where the first-player roulette's box opens
// over the title (x 215..438), which hides it as it hides the Japanese word, and the number
// stands beside the box.
TEST(RoundTitleOrder, TheEnglishWordReadsBeforeTheNumberUnderTheRoulettesBox) {
  test::MatchHarness h(1);
  Game& g = h.game();
  g.language.words = English();
  PictureLoader loader(h.folder());
  loader.UseLanguage("en");
  ASSERT_TRUE(loader.Load(g.pictures, rects::Picture::kCounter).ok);
  ASSERT_FALSE(g.pictures.PicCounter.empty());
  g.match.RoundNo = 7;
  g.display.GameScreen.PaintAll(0);
  DrawRoundTitle(g);
  const Surface& s = g.display.GameScreen;
  auto column_has_ink = [&](int x) {
    for (int y = 150; y < 250; ++y)
      if ((s.Pixel(x, y) & 0xFFFFFFu) != 0) return true;
    return false;
  };
  int first = -1, last = -1, gap = 0, longest_gap = 0, gap_start = -1, gap_end = -1;
  for (int x = 0; x < 640; ++x) {
    if (!column_has_ink(x)) {
      if (first >= 0) ++gap;
      continue;
    }
    if (first < 0) first = x;
    if (gap > longest_gap) longest_gap = gap, gap_end = x, gap_start = x - gap;
    gap = 0;
    last = x;
  }
  EXPECT_GE(first, 150);
  EXPECT_LT(last, 150 + 289 + 65);
  // The widest gap between ink is the one between the word and the number, which starts
  // where the number is drawn.
  EXPECT_GE(longest_gap, 8);
  EXPECT_GE(gap_end, 439);
  EXPECT_GE(first, 215) << "the word shows left of the roulette's box";
  EXPECT_LE(gap_start - 1, 438) << "the word shows right of the roulette's box";
}

}  // namespace
}  // namespace rv
