// The three difficulty names of the selection and ranking screens are printed in one bold,
// outlined face: the glyph they share, 級, has as much bright fill and as much outline in
// each of them, at one height.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "picture_reader.h"

namespace rects = rv::rects;
using rv::assets::testing::Decoded;
using rv::assets::testing::Pixels;

namespace {

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const Pixels& p, int x, int y) {
  const auto c = p.At(x, y);
  return 0.2126 * Linear(c[0]) + 0.7152 * Linear(c[1]) + 0.0722 * Linear(c[2]);
}

// Bright fill, and the dimmer but visible outline around it; black is neither.
constexpr double kFaceLuminance = 0.25;
constexpr double kOutlineLuminance = 0.03;

struct Glyph {
  int fill = 0;
  int outline = 0;
  int top = 1 << 20;
  int bottom = -1;
};

// 級 is the second of the two glyphs each name begins with: the right half of the ink of
// the name's first `two_glyphs` columns.
Glyph SecondGlyph(const Pixels& p, const rects::Rect& r, int two_glyphs) {
  int ink_left = r.Right();
  for (int y = r.y; y < r.Bottom(); ++y)
    for (int x = r.x; x < r.Right(); ++x)
      if (!p.IsBlack(x, y)) ink_left = std::min(ink_left, x);
  Glyph g;
  for (int y = r.y; y < r.Bottom(); ++y) {
    for (int x = ink_left + two_glyphs / 2 + 1; x < ink_left + two_glyphs; ++x) {
      const double l = Luminance(p, x, y);
      if (l > kFaceLuminance) {
        ++g.fill;
        g.top = std::min(g.top, y - r.y);
        g.bottom = std::max(g.bottom, y - r.y);
      } else if (l > kOutlineLuminance) {
        ++g.outline;
      }
    }
  }
  return g;
}

// The ink width of the two glyphs of a short name (初級 or 中級).
int InkWidth(const Pixels& p, const rects::Rect& r) {
  int x0 = r.Right(), x1 = -1;
  for (int y = r.y; y < r.Bottom(); ++y)
    for (int x = r.x; x < r.Right(); ++x)
      if (!p.IsBlack(x, y)) x0 = std::min(x0, x), x1 = std::max(x1, x);
  return x1 - x0 + 1;
}

TEST(DifficultyNames, HardIsPrintedInTheSameBoldOutlinedFaceAsEasyAndNormal) {
  const Pixels& p = Decoded(rects::Picture::kOther);
  const int width = InkWidth(p, rects::kDifficultyName[1]);
  ASSERT_GT(width, 30);
  EXPECT_NEAR(InkWidth(p, rects::kDifficultyName[0]), width, 2);
  const Glyph easy = SecondGlyph(p, rects::kDifficultyName[0], width);
  const Glyph normal = SecondGlyph(p, rects::kDifficultyName[1], width);
  const Glyph hard = SecondGlyph(p, rects::kDifficultyName[2], width);
  ASSERT_GT(normal.fill, 100);
  for (const Glyph* g : {&easy, &hard}) {
    const bool is_hard = g == &hard;
    EXPECT_NEAR(g->fill, normal.fill, normal.fill * 0.15) << (is_hard ? "上級" : "初級");
    EXPECT_GE(g->outline, std::min(easy.outline, normal.outline) * 8 / 10)
        << (is_hard ? "上級" : "初級");
    EXPECT_NEAR(g->top, normal.top, 1);
    EXPECT_NEAR(g->bottom, normal.bottom, 1);
  }
}

}  // namespace
