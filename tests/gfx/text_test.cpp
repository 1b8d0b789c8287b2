// Printing with the Japanese face or the Latin one, and the two shadowed text primitives.
#include "game/gfx/text.h"

#include <gtest/gtest.h>

#include "support/latin_face.h"
#include "test_support.h"

namespace rv {
namespace {

constexpr uint32_t kGround = 0x406080;

struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  int count = 0;
  int width() const { return right - left + 1; }
};

Ink InkOf(const Surface& s, uint32_t ground) {
  Ink ink;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (s.Pixel(x, y) == ground) continue;
      ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
      ++ink.count;
    }
  }
  return ink;
}

class TextTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    renderer_ = TextRenderer::Open(&error).release();
    ASSERT_NE(renderer_, nullptr) << error;
  }
  static void TearDownTestSuite() {
    delete renderer_;
    renderer_ = nullptr;
  }
  TextRenderer& text() { return *renderer_; }

  // White text printed alone at (x, y) on a ground, at the given size and boldness.
  Surface PrintedAlone(int x, int y, std::string_view str, bool bold, uint32_t color = 0xFFFFFF,
                       int px = 16) {
    Surface s(200, 60, kGround);
    s.text().font_px = px;
    s.text().FontBold = bold;
    s.text().ForeColor = color;
    s.text().CurrentX = x;
    s.text().CurrentY = y;
    text().Print(s, str);
    return s;
  }

  static TextRenderer* renderer_;
};
TextRenderer* TextTest::renderer_ = nullptr;

TEST_F(TextTest, FindsAJapaneseFace) {
  EXPECT_TRUE(std::filesystem::exists(text().file()));
  EXPECT_GT(text().TextWidth(TextState{}, "プレイヤー"), 0);
  // A full-width letter is about one em wide at 16 px.
  int w = text().TextWidth(TextState{}, "Ｃ");
  EXPECT_GE(w, 14);
  EXPECT_LE(w, 18);
}

TEST_F(TextTest, PrintStartsAtTheTopLeftOfTheLineWithNoBackgroundBox) {
  Surface s = PrintedAlone(20, 10, "先行プレイヤー選択", false);
  Ink ink = InkOf(s, kGround);
  ASSERT_GT(ink.count, 0);
  EXPECT_GE(ink.left, 20);
  EXPECT_LE(ink.left, 23);
  EXPECT_GE(ink.top, 10);
  EXPECT_LT(ink.bottom, 10 + text().LineHeight(16) + 1);
  // Anti-aliased: full white at the heart of strokes, blends at their edges, ground between.
  int white = 0, partial = 0;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      uint32_t p = s.Pixel(x, y);
      if (p == 0xFFFFFF)
        ++white;
      else if (p != kGround)
        ++partial;
    }
  }
  EXPECT_GT(white, 0);
  EXPECT_GT(partial, 0);
  EXPECT_LT(ink.count, ink.width() * (ink.bottom - ink.top + 1));  // no filled box
  // Print ends the line.
  EXPECT_EQ(s.text().CurrentX, 0);
  EXPECT_EQ(s.text().CurrentY, 10 + text().LineHeight(16));
}

TEST_F(TextTest, CompositionBufferFaceIsLarger) {
  EXPECT_GT(text().LineHeight(21), text().LineHeight(16));
  Ink small = InkOf(PrintedAlone(0, 0, "ＣＰＵ", false, 0xFFFFFF, 16), kGround);
  Ink large = InkOf(PrintedAlone(0, 0, "ＣＰＵ", false, 0xFFFFFF, 21), kGround);
  EXPECT_GT(large.width(), small.width());
}

TEST_F(TextTest, BoldIsWiderAndHeavier) {
  TextState normal, bold;
  bold.FontBold = true;
  EXPECT_GT(text().TextWidth(bold, "順位表"), text().TextWidth(normal, "順位表"));
  Ink n = InkOf(PrintedAlone(5, 5, "順位表", false), kGround);
  Ink b = InkOf(PrintedAlone(5, 5, "順位表", true), kGround);
  EXPECT_GT(b.width(), n.width());
  EXPECT_GT(b.count, n.count);
}

TEST_F(TextTest, ShadowIsBlackAtPlusOneAndTheFaceWhiteOverIt) {
  Surface screen(200, 60, kGround), memory(200, 60, kGround);
  DrawShadowText(text(), screen, memory, 20, 10, "プレイヤー", 0, 1);
  const Surface face = PrintedAlone(20, 10, "プレイヤー", false);
  const Surface shadow = PrintedAlone(21, 11, "プレイヤー", false);
  int checked_face = 0, checked_shadow = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (face.Pixel(x, y) == 0xFFFFFF) {
        ASSERT_EQ(screen.Pixel(x, y), 0xFFFFFFu);
        ++checked_face;
      } else if (face.Pixel(x, y) == kGround && shadow.Pixel(x, y) == 0xFFFFFF) {
        // Fully covered by the shadow's glyph, untouched by the face: pure black.
        ASSERT_EQ(screen.Pixel(x, y), 0x000000u);
        ++checked_shadow;
      } else if (face.Pixel(x, y) == kGround && shadow.Pixel(x, y) == kGround) {
        ASSERT_EQ(screen.Pixel(x, y), kGround);
      }
    }
  }
  EXPECT_GT(checked_face, 10);
  EXPECT_GT(checked_shadow, 10);
  EXPECT_EQ(InkOf(memory, kGround).count, 0);  // on_screen = 1 draws on the screen only
}

TEST_F(TextTest, ShadowTextGoesToTheCompositionBufferUnlessOnScreenIsOne) {
  for (int16_t on_screen : {0, 2, -1}) {
    Surface screen(200, 60, kGround), memory(200, 60, kGround);
    DrawShadowText(text(), screen, memory, 10, 5, "ＣＰＵ", 0, on_screen);
    EXPECT_EQ(InkOf(screen, kGround).count, 0);
    EXPECT_GT(InkOf(memory, kGround).count, 0);
  }
}

TEST_F(TextTest, ColourTextFaceIsInItsColour) {
  Surface screen(200, 60, kGround), memory(1, 1);
  DrawColorText(text(), screen, 20, 10, 255, 200, 0, "の勝利！", 0);
  const Surface face = PrintedAlone(20, 10, "の勝利！", false);
  int checked = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (face.Pixel(x, y) != 0xFFFFFF) continue;
      ASSERT_EQ(screen.Pixel(x, y), 0xFFC800u);
      ++checked;
    }
  }
  EXPECT_GT(checked, 10);
  EXPECT_EQ(screen.text().ForeColor, 0xFFC800u);  // the last colour used stays
}

TEST_F(TextTest, BoldIsResetAfterEveryPrimitive) {
  Surface screen(200, 60, kGround), memory(200, 60, kGround);
  DrawShadowText(text(), screen, memory, 0, 0, "選択", -1, 0);
  EXPECT_FALSE(memory.text().FontBold);
  memory.text().FontBold = true;  // bold left on from elsewhere
  DrawShadowText(text(), screen, memory, 0, 0, "選択", 0, 0);
  EXPECT_FALSE(memory.text().FontBold);
  DrawColorText(text(), screen, 0, 0, 1, 2, 3, "選択", -1);
  EXPECT_FALSE(screen.text().FontBold);
  // After a bold title the next print on the surface is the normal face.
  Surface after(200, 60, kGround);
  DrawShadowText(text(), after, memory, 0, 0, "x", -1, 1);
  after.PaintAll(kGround);
  after.text().ForeColor = 0xFFFFFF;
  after.text().CurrentX = 5, after.text().CurrentY = 5;
  text().Print(after, "順位表");
  EXPECT_EQ(InkOf(after, kGround).count, InkOf(PrintedAlone(5, 5, "順位表", false), kGround).count);
  // Only -1 means bold.
  Surface one(200, 60, kGround);
  DrawShadowText(text(), one, memory, 5, 5, "順位表", 1, 1);
  Surface bold(200, 60, kGround);
  DrawShadowText(text(), bold, memory, 5, 5, "順位表", -1, 1);
  EXPECT_LT(InkOf(one, kGround).count, InkOf(bold, kGround).count);
}

TEST_F(TextTest, TextOffEveryEdgeAndMalformedUtf8AreHarmless) {
  Surface s(40, 20, kGround);
  for (auto [x, y] :
       {std::pair{-30, -10}, std::pair{35, 15}, std::pair{-5, 18}, std::pair{1000, 1000}}) {
    s.text().CurrentX = x, s.text().CurrentY = y;
    text().Print(s, "プレイヤーの勝利！");
  }
  const std::string bad[] = {"\xE3\x83", "\xFF\xFE", "\xC0\x80", "\xED\xA0\x80",
                             "abc\xF4\x90\x80\x80"};
  for (const std::string& str : bad) {
    s.text().CurrentX = 0, s.text().CurrentY = 0;
    text().Print(s, str);
    EXPECT_GE(text().TextWidth(TextState{}, str), 0);
  }
  Surface empty;
  text().Print(empty, "空");
  EXPECT_TRUE(empty.empty());
}

// A line break or another control character in a translation has no glyph: it draws no
// box and takes no width.
TEST_F(TextTest, ControlCharactersDrawNothing) {
  const Surface plain = PrintedAlone(4, 4, "Matchover!", false);
  for (const char* with_control :
       {"Match\nover!", "Match\r\nover!", "Match\tover!", "\nMatchover!\x7F"}) {
    SCOPED_TRACE(with_control);
    const Surface printed = PrintedAlone(4, 4, with_control, false);
    int differing = 0;
    for (int y = 0; y < plain.height(); ++y) {
      for (int x = 0; x < plain.width(); ++x) differing += printed.Pixel(x, y) != plain.Pixel(x, y);
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(text().TextWidth(TextState{}, with_control),
              text().TextWidth(TextState{}, "Matchover!"));
  }
}

// With a space, the shadow and the face are cut at its edges and are otherwise as drawn
// without it.
TEST_F(TextTest, ASpaceCutsTheShadowAndTheFaceAtItsEdges) {
  const TextSpace space{12, 8, 40, 12};
  Surface whole(200, 60, kGround), cut(200, 60, kGround), memory(8, 8);
  DrawShadowText(text(), whole, memory, 10, 5, "プレイヤーの勝利！", -1, 1);
  DrawColorText(text(), whole, 10, 25, 255, 255, 0, "Match over!", 0);
  DrawShadowText(text(), cut, memory, 10, 5, "プレイヤーの勝利！", -1, 1, &space);
  DrawColorText(text(), cut, 10, 25, 255, 255, 0, "Match over!", 0, &space);
  int inside = 0;
  for (int y = 0; y < cut.height(); ++y) {
    for (int x = 0; x < cut.width(); ++x) {
      if (space.Contains(x, y)) {
        ASSERT_EQ(cut.Pixel(x, y), whole.Pixel(x, y)) << x << "," << y;
        inside += cut.Pixel(x, y) != kGround;
      } else {
        ASSERT_EQ(cut.Pixel(x, y), kGround) << x << "," << y;
      }
    }
  }
  EXPECT_GT(inside, 50);
}

// How the Latin face prints as drawn is checked over every text of the match (TextFit);
// here, what happens without it, and with a regular cut only.
TEST(TextOpen, WithoutTheLatinFaceItsTextsPrintInTheJapaneseOne) {
  std::string error;
  const auto full = TextRenderer::Open(&error);
  ASSERT_TRUE(full) << error;
  ASSERT_TRUE(full->HasLatinFace()) << "fonts-dejavu-core is not installed";
  const auto only_japanese = TextRenderer::OpenFile(full->file(), &error);
  ASSERT_TRUE(only_japanese) << error;
  EXPECT_FALSE(only_japanese->OpenLatinFiles("/nonexistent/DejaVuSans.ttf", ""));
  EXPECT_FALSE(only_japanese->HasLatinFace());
  TextState latin;
  latin.face = TextFace::kLatin;
  EXPECT_EQ(only_japanese->TextWidth(latin, "Player"), full->TextWidth(TextState{}, "Player"));
  EXPECT_NE(full->TextWidth(latin, "Player"), full->TextWidth(TextState{}, "Player"));
  // A regular cut alone: bold is that cut emboldened.
  ASSERT_TRUE(only_japanese->OpenLatinFiles(test::kDejaVuSansFile, ""));
  const int regular = only_japanese->TextWidth(latin, "Player");
  latin.FontBold = true;
  EXPECT_GT(only_japanese->TextWidth(latin, "Player"), regular);
}

TEST(TextOpen, AFileThatIsNoFontIsAClearError) {
  test::TempFolder dir{"gfx", test::TempPlace::kMemory};
  test::WriteFile(dir.path() / "not_a_font.ttf", {1, 2, 3, 4});
  std::string error;
  EXPECT_EQ(TextRenderer::OpenFile(dir.path() / "not_a_font.ttf", &error), nullptr);
  EXPECT_NE(error.find("not_a_font.ttf"), std::string::npos);
}

}  // namespace
}  // namespace rv
