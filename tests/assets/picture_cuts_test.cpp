// The interface sheet and the round title: every cut shows its whole piece
// and nothing of its neighbours, also where cuts share pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "picture_reader.h"

namespace rects = rv::rects;
using rects::Rect;
using rv::assets::testing::Decoded;
using rv::assets::testing::Pixels;

namespace {
// On the sheet everything that is not exact black is ink: the screens copy
// pieces opaquely onto a black screen.
bool Ink(const Pixels& p, int x, int y) { return !p.IsBlack(x, y); }

int InkIn(const Pixels& p, const Rect& r) {
  int n = 0;
  for (int y = r.y; y < r.Bottom(); ++y)
    for (int x = r.x; x < r.Right(); ++x) n += Ink(p, x, y);
  return n;
}

struct InkBox {
  int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;  // inclusive
  bool Empty() const { return x1 < 0; }
};

InkBox InkBoxIn(const Pixels& p, const Rect& r) {
  InkBox b;
  for (int y = r.y; y < r.Bottom(); ++y)
    for (int x = r.x; x < r.Right(); ++x)
      if (Ink(p, x, y)) {
        b.x0 = std::min(b.x0, x - r.x), b.y0 = std::min(b.y0, y - r.y);
        b.x1 = std::max(b.x1, x - r.x), b.y1 = std::max(b.y1, y - r.y);
      }
  return b;
}

std::optional<Rect> Intersect(const Rect& a, const Rect& b) {
  const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
  const int x1 = std::min(a.Right(), b.Right()), y1 = std::min(a.Bottom(), b.Bottom());
  if (x0 >= x1 || y0 >= y1) return std::nullopt;
  return Rect{a.picture, x0, y0, x1 - x0, y1 - y0};
}

// Which glyph of the digit strip a cut shows; -1 for pieces of their own.
int StripGlyph(const rects::NamedRect& nr) {
  const std::string n = nr.name;
  if (n == "LargeDigit" || n == "SetupRoundsDigit" || n == "RankingRoundsDigit") return nr.index;
  if (n == "PlaceNumeral") return nr.index + 1;
  return -1;
}

std::vector<rects::NamedRect> SheetRects() {
  std::vector<rects::NamedRect> out;
  for (const auto& nr : rects::kAllRects)
    if (nr.rect.picture == rects::Picture::kOther) out.push_back(nr);
  return out;
}

std::string Name(const rects::NamedRect& nr) {
  return std::string(nr.name) + " " + std::to_string(nr.index);
}

TEST(InterfaceSheet, EveryPieceHasInkAndAClearBorder) {
  const Pixels& p = Decoded(rects::Picture::kOther);
  for (const auto& nr : SheetRects()) {
    SCOPED_TRACE(Name(nr));
    const Rect& r = nr.rect;
    if (std::string(nr.name) == "BlendSquare") {
      EXPECT_EQ(InkIn(p, r), 0) << "the marks fade into the black screen";
      continue;
    }
    const InkBox b = InkBoxIn(p, r);
    ASSERT_FALSE(b.Empty());
    // Nothing touches the cut's edge: the piece is whole, not clipped.
    EXPECT_GE(b.x0, 1);
    EXPECT_GE(b.y0, 1);
    EXPECT_LE(b.x1, r.w - 2);
    EXPECT_LE(b.y1, r.h - 2);
    EXPECT_GE(b.y1 - b.y0, 8) << "readable height";
  }
}

TEST(InterfaceSheet, OverlappingCutsOfDifferentPiecesShareNoInk) {
  const Pixels& p = Decoded(rects::Picture::kOther);
  const auto all = SheetRects();
  int overlapping_pairs = 0;
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = i + 1; j < all.size(); ++j) {
      const int gi = StripGlyph(all[i]), gj = StripGlyph(all[j]);
      if (gi >= 0 && gi == gj) continue;  // two cuts of one glyph
      const auto overlap = Intersect(all[i].rect, all[j].rect);
      if (!overlap) continue;
      ++overlapping_pairs;
      EXPECT_EQ(InkIn(p, *overlap), 0) << Name(all[i]) << " and " << Name(all[j]);
    }
  // The marks over the plain difficulty label, and neighbouring strip cuts.
  EXPECT_GE(overlapping_pairs, 3);
}

TEST(InterfaceSheet, EachStripGlyphLiesInsideEveryCutThatShowsIt) {
  const Pixels& p = Decoded(rects::Picture::kOther);
  std::map<int, std::vector<Rect>> cuts;
  for (const auto& nr : SheetRects())
    if (StripGlyph(nr) >= 0) cuts[StripGlyph(nr)].push_back(nr.rect);
  ASSERT_EQ(cuts.size(), 10u);
  std::vector<InkBox> boxes;
  for (const auto& [glyph, list] : cuts) {
    SCOPED_TRACE("glyph " + std::to_string(glyph));
    Rect common = list.front(), hull = list.front();
    for (const Rect& r : list) {
      common = Intersect(common, r).value();
      hull = {r.picture, std::min(hull.x, r.x), std::min(hull.y, r.y), 0, 0};
    }
    int right = 0, bottom = 0;
    for (const Rect& r : list)
      right = std::max(right, r.Right()), bottom = std::max(bottom, r.Bottom());
    hull.w = right - hull.x;
    hull.h = bottom - hull.y;
    // All ink within reach of any cut lies in the part every cut shows.
    for (int y = hull.y; y < hull.Bottom(); ++y)
      for (int x = hull.x; x < hull.Right(); ++x) {
        const bool in_common =
            x >= common.x && x < common.Right() && y >= common.y && y < common.Bottom();
        if (!in_common) {
          EXPECT_FALSE(Ink(p, x, y)) << "stray ink at " << x << "," << y;
        }
      }
    const InkBox b = InkBoxIn(p, common);
    ASSERT_FALSE(b.Empty());
    EXPECT_GE(b.y1 - b.y0, 14);
    EXPECT_GE(InkIn(p, common), 60);
  }
}

TEST(InterfaceSheet, GlyphsOfOneRowShareTheirBaseline) {
  const Pixels& p = Decoded(rects::Picture::kOther);
  // On a ranking row the large digits, the small digits and the suffix stand
  // at one y: their ink ends on the same row (digits without descenders).
  const int large_bottom = InkBoxIn(p, rects::kLargeDigit(0)).y1;  // relative to the cut
  for (int v = 0; v <= 9; ++v) {
    EXPECT_NEAR(InkBoxIn(p, rects::kLargeDigit(v)).y1, large_bottom, 1) << v;
    EXPECT_NEAR(InkBoxIn(p, rects::kSmallDigit(v)).y1, large_bottom, 1) << v;
  }
  EXPECT_NEAR(InkBoxIn(p, rects::kPlaceSuffix).y1, large_bottom, 2);
  // On the selection screen the digit (cut at y 87) sits on the rounds row with its label.
  const int digit_bottom = InkBoxIn(p, rects::kSetupRoundsDigit(3)).y1;
  const int label_bottom = InkBoxIn(p, rects::kRoundsLabel).y1;
  EXPECT_NEAR(digit_bottom, label_bottom, 2);
}

TEST(InterfaceSheet, ArrowsStayWhereTheScreensShowThemWholeAndLevel) {
  const Pixels& p = Decoded(rects::Picture::kOther);
  const InkBox left = InkBoxIn(p, rects::kLeftArrow), right = InkBoxIn(p, rects::kRightArrow);
  // The left arrow at x 200 is overdrawn from x 230 by the value beside it.
  EXPECT_LT(left.x1, 230 - 200);
  // The right mark of the ranking stands at x 605: only 35 columns are on screen.
  EXPECT_LT(right.x1, 640 - 605);
  // The right arrow is drawn 5 px lower than the left one; both centre on the row.
  const double left_mid = (left.y0 + left.y1) / 2.0, right_mid = (right.y0 + right.y1) / 2.0 + 5;
  EXPECT_NEAR(left_mid, right_mid, 1.0);
  // The down mark stands at y 448: rows from 32 on are below the screen.
  EXPECT_LT(InkBoxIn(p, rects::kDownMark).y1, 480 - 448);
  // Up and down point different ways: more ink at the top of the down mark.
  const Rect up = rects::kUpMark, down = rects::kDownMark;
  const int up_top = InkIn(p, {up.picture, up.x, up.y, up.w, up.h / 2});
  const int up_bottom = InkIn(p, {up.picture, up.x, up.y + up.h / 2, up.w, up.h / 2});
  const int down_top = InkIn(p, {down.picture, down.x, down.y, down.w, 16});
  const int down_bottom = InkIn(p, {down.picture, down.x, down.y + 16, down.w, 16});
  EXPECT_LT(up_top, up_bottom);
  EXPECT_GT(down_top, down_bottom);
}

TEST(InterfaceSheet, HighlightedAndPlainFormsDiffer) {
  const Pixels& p = Decoded(rects::Picture::kOther);
  const std::pair<Rect, Rect> pairs[] = {{rects::kDifficultyLabelSelected, rects::kDifficultyLabel},
                                         {rects::kRoundsLabelSelected, rects::kRoundsLabel},
                                         {rects::kStartButtonSelected, rects::kStartButton}};
  for (const auto& [a, b] : pairs) {
    int differ = 0;
    for (int y = 0; y < a.h; ++y)
      for (int x = 0; x < a.w; ++x) differ += p.At(a.x + x, a.y + y) != p.At(b.x + x, b.y + y);
    EXPECT_GT(differ, a.w * a.h / 4);
  }
}

TEST(RoundTitle, NumbersAndWordStandOnExactBlackWithNoBlackInside) {
  const Pixels& p = Decoded(rects::Picture::kCounter);
  std::vector<Rect> pieces;
  for (int n = 1; n <= 9; ++n) pieces.push_back(rects::kRoundNumber(n));
  pieces.push_back(rects::kRoundWord);
  for (const Rect& r : pieces) {
    SCOPED_TRACE(std::to_string(r.x));
    // The ring around the piece is the transparent colour.
    for (int x = r.x; x < r.Right(); ++x)
      EXPECT_TRUE(p.IsBlack(x, r.y) && p.IsBlack(x, r.Bottom() - 1));
    for (int y = r.y; y < r.Bottom(); ++y)
      EXPECT_TRUE(p.IsBlack(r.x, y) && p.IsBlack(r.Right() - 1, y));
    // Large and bold: the ink fills much of the piece's height.
    const InkBox b = InkBoxIn(p, r);
    ASSERT_FALSE(b.Empty());
    EXPECT_GE(b.y1 - b.y0, 60);
    // No pinholes: an exact black pixel amid ink would show the board through.
    int ink = 0;
    for (int y = r.y + 1; y < r.Bottom() - 1; ++y)
      for (int x = r.x + 1; x < r.Right() - 1; ++x) {
        ink += Ink(p, x, y);
        if (!p.IsBlack(x, y)) continue;
        const int around =
            Ink(p, x - 1, y) + Ink(p, x + 1, y) + Ink(p, x, y - 1) + Ink(p, x, y + 1);
        EXPECT_LT(around, 4) << "black hole in the ink at " << x << "," << y;
      }
    EXPECT_GT(ink, 800);
  }
  // Between the last number and the word all is transparent.
  for (int x = rects::kRoundNumber(9).Right(); x < rects::kRoundWord.x; ++x)
    for (int y = 0; y < 100; ++y) EXPECT_TRUE(p.IsBlack(x, y));
}

TEST(RoundTitle, NumbersAreDistinct) {
  const Pixels& p = Decoded(rects::Picture::kCounter);
  for (int a = 1; a <= 9; ++a)
    for (int b = a + 1; b <= 9; ++b) {
      int differ = 0;
      const Rect ra = rects::kRoundNumber(a), rb = rects::kRoundNumber(b);
      for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 70; ++x) differ += Ink(p, ra.x + x, y) != Ink(p, rb.x + x, y);
      EXPECT_GT(differ, 200) << a << " vs " << b;
    }
}

}  // namespace
