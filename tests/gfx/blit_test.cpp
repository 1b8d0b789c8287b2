// The copies and the blend, pixel by pixel, against a plain per-pixel model of each.
#include "game/gfx/blit.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "game/gfx/blend_state.h"
#include "game/gfx/copy_piece.h"
#include "test_support.h"

namespace rv {
namespace {

using test::PatternSurface;

// The blend of one channel as written in the rule: src x a + dest x (1 - a), rounded.
uint32_t ReferenceChannel(uint32_t s, uint32_t d, uint32_t a) {
  double exact = s * (a / 255.0) + d * (1.0 - a / 255.0);
  return static_cast<uint32_t>(exact + 0.5);
}

uint32_t ReferencePixel(uint32_t s, uint32_t d, uint32_t a) {
  uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    out |= ReferenceChannel((s >> shift) & 0xFF, (d >> shift) & 0xFF, a) << shift;
  }
  return out;
}

// Runs a copy on a copy of dst and checks every destination pixel against expect(x, y, old),
// which returns the pixel the copy should leave there.
void ExpectEveryPixel(const Surface& before, const Surface& after,
                      const std::function<uint32_t(int, int, uint32_t)>& expect) {
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) {
      ASSERT_EQ(after.Pixel(x, y), expect(x, y, before.Pixel(x, y))) << "at " << x << "," << y;
    }
  }
}

TEST(BlendArithmetic, MatchesTheRoundedRuleForEveryChannelValueAndAlpha) {
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t s = 0; s < 256; ++s) {
      for (uint32_t d = 0; d < 256; ++d) {
        uint32_t got = BlendPixel(s << 8, d << 8, a) >> 8;
        ASSERT_EQ(got, ReferenceChannel(s, d, a)) << "s=" << s << " d=" << d << " a=" << a;
      }
    }
  }
}

TEST(BlendArithmetic, ChannelsDoNotBleedIntoEachOther) {
  const uint32_t pairs[][2] = {{0xFFFFFF, 0x000000}, {0x00FF00, 0xFF00FF}, {0x123456, 0xFEDCBA}};
  for (auto& p : pairs) {
    for (uint32_t a : {0u, 1u, 127u, 128u, 254u, 255u}) {
      EXPECT_EQ(BlendPixel(p[0], p[1], a), ReferencePixel(p[0], p[1], a));
    }
  }
}

TEST(BlendArithmetic, FullAlphaIsTheSourceAndZeroIsTheDestination) {
  Surface src = PatternSurface(50, 40, 1);
  Surface dst = PatternSurface(50, 40, 2);
  Surface at_full = dst, at_zero = dst;
  AlphaBlend(at_full, 0, 0, 50, 40, src, 0, 0, 50, 40, 255 * 65536);
  AlphaBlend(at_zero, 0, 0, 50, 40, src, 0, 0, 50, 40, 0);
  ExpectEveryPixel(dst, at_full, [&](int x, int y, uint32_t) { return src.Pixel(x, y); });
  ExpectEveryPixel(dst, at_zero, [](int, int, uint32_t old) { return old; });
}

TEST(BlendState, SetAlphaCapsAndPacks) {
  BlendState b;
  SetAlpha(b, 260);
  EXPECT_EQ(b.Alpha, 255);
  EXPECT_EQ(b.BlendArg, 16711680);
  SetAlpha(b, 250);
  EXPECT_EQ(b.Alpha, 250);
  EXPECT_EQ(b.BlendArg, 16384000);
  SetAlpha(b, 0);
  EXPECT_EQ(b.BlendArg, 0);
  SetAlpha(b, 150);
  EXPECT_EQ(b.BlendArg, 9830400);
}

TEST(AlphaBlendCopy, UnscaledBlendWithClippingAtEveryEdge) {
  const Surface src = PatternSurface(30, 20, 3);
  const Surface dst = PatternSurface(40, 25, 4);
  const int a = 100;
  struct Case {
    int dx, dy, w, h, sx, sy;
  };
  const Case cases[] = {{5, 5, 10, 8, 2, 3},    {-4, -3, 12, 9, 0, 0},    {35, 20, 10, 10, 0, 0},
                        {0, 0, 30, 20, -5, -2}, {10, 10, 40, 40, 20, 15}, {0, 0, 0, 5, 0, 0},
                        {0, 0, 5, -1, 0, 0}};
  for (const Case& c : cases) {
    Surface out = dst;
    AlphaBlend(out, c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, c.w, c.h, a * 65536);
    ExpectEveryPixel(dst, out, [&](int x, int y, uint32_t old) {
      int i = x - c.dx, j = y - c.dy;
      if (i < 0 || j < 0 || i >= c.w || j >= c.h) return old;
      if (!src.Contains(c.sx + i, c.sy + j)) return old;
      return ReferencePixel(src.Pixel(c.sx + i, c.sy + j), old, a);
    });
  }
}

TEST(AlphaBlendCopy, StretchesASmallSquareOverAStrip) {
  // The results panel: a 20 x 20 square blended over strips of any width and 190 high.
  Surface skin = PatternSurface(96, 96, 5);
  const Surface screen = PatternSurface(640, 480, 6);
  for (int strip : {1, 7, 20, 33, 240}) {
    Surface out = screen;
    AlphaBlend(out, 200, 96, strip, 190, skin, 40, 40, 20, 20, 150 * 65536);
    ExpectEveryPixel(screen, out, [&](int x, int y, uint32_t old) {
      int i = x - 200, j = y - 96;
      if (i < 0 || j < 0 || i >= strip || j >= 190) return old;
      int sx = 40 + (2 * i + 1) * 20 / (2 * strip);
      int sy = 40 + (2 * j + 1) * 20 / (2 * 190);
      EXPECT_GE(sx, 40);
      EXPECT_LT(sx, 60);
      return ReferencePixel(skin.Pixel(sx, sy), old, 150);
    });
  }
}

TEST(AlphaBlendCopy, RefusesBlendDescriptionsItCannotHonour) {
  const Surface src = PatternSurface(8, 8, 7);
  const Surface dst = PatternSurface(8, 8, 8);
  for (int32_t arg : {1, 0x100, 0x01000000, static_cast<int32_t>(256 * 65536), -65536}) {
    Surface out = dst;
    AlphaBlend(out, 0, 0, 8, 8, src, 0, 0, 8, 8, arg);
    ExpectEveryPixel(dst, out, [](int, int, uint32_t old) { return old; });
  }
}

TEST(AlphaBlendCopy, ZeroSizedStripDrawsNothing) {
  const Surface src = PatternSurface(20, 20, 9);
  const Surface dst = PatternSurface(40, 40, 10);
  Surface out = dst;
  AlphaBlend(out, 5, 5, 0, 10, src, 0, 0, 20, 20, 200 * 65536);
  AlphaBlend(out, 5, 5, 10, 10, src, 0, 0, 0, 20, 200 * 65536);
  ExpectEveryPixel(dst, out, [](int, int, uint32_t old) { return old; });
}

TEST(RasterCopies, OpaqueOrAndWithClipping) {
  const Surface src = PatternSurface(25, 18, 11);
  const Surface dst = PatternSurface(30, 22, 12);
  struct Case {
    int dx, dy, w, h, sx, sy;
  };
  const Case cases[] = {{0, 0, 25, 18, 0, 0},   {-3, 4, 10, 30, 2, -6}, {28, 20, 9, 9, 0, 0},
                        {3, 3, 50, 50, 20, 10}, {1, 1, 0, 3, 0, 0},     {1, 1, 3, -3, 0, 0},
                        {40, 0, 5, 5, 0, 0},    {0, 0, 5, 5, 30, 0}};
  const std::pair<RasterOp, std::function<uint32_t(uint32_t, uint32_t)>> ops[] = {
      {RasterOp::kSrcCopy, [](uint32_t s, uint32_t) { return s; }},
      {RasterOp::kSrcPaint, [](uint32_t s, uint32_t d) { return s | d; }},
      {RasterOp::kSrcAnd, [](uint32_t s, uint32_t d) { return s & d; }}};
  for (const auto& [op, combine] : ops) {
    for (const Case& c : cases) {
      Surface out = dst;
      BitBlt(out, c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, op);
      ExpectEveryPixel(dst, out, [&](int x, int y, uint32_t old) {
        int i = x - c.dx, j = y - c.dy;
        if (i < 0 || j < 0 || i >= c.w || j >= c.h || !src.Contains(c.sx + i, c.sy + j)) {
          return old;
        }
        return combine(src.Pixel(c.sx + i, c.sy + j), old);
      });
    }
  }
}

TEST(RasterCopies, MaskedCursorLeavesTheGroundAroundIt) {
  // OR the mask (white on the cursor, black around), then AND the image (white ground):
  // the cursor's pixels replace the screen, the rest of the screen stays.
  Surface sheet(16, 30, 0);
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < 16; ++x) {
      bool on = x >= 4 && x < 12;
      sheet.SetPixel(x, y, on ? 0x00FF20 : 0xFFFFFF);
      sheet.SetPixel(x, 15 + y, on ? 0xFFFFFF : 0x000000);
    }
  }
  const Surface screen = PatternSurface(64, 64, 13);
  Surface out = screen;
  BitBlt(out, 10, 20, 16, 15, sheet, 0, 15, RasterOp::kSrcPaint);
  BitBlt(out, 10, 20, 16, 15, sheet, 0, 0, RasterOp::kSrcAnd);
  ExpectEveryPixel(screen, out, [](int x, int y, uint32_t old) {
    int i = x - 10, j = y - 20;
    if (i < 0 || j < 0 || i >= 16 || j >= 15) return old;
    return (i >= 4 && i < 12) ? 0x00FF20u : old;
  });
}

TEST(RasterCopies, OverlappingCopyWithinOneSurfaceReadsTheOldPixels) {
  const Surface before = PatternSurface(50, 50, 14);
  for (auto [dx, dy] : {std::pair{3, 2}, std::pair{-3, -2}, std::pair{0, 5}, std::pair{5, 0}}) {
    Surface s = before;
    BitBlt(s, 10 + dx, 10 + dy, 20, 20, s, 10, 10);
    ExpectEveryPixel(before, s, [&](int x, int y, uint32_t old) {
      int i = x - 10 - dx, j = y - 10 - dy;
      if (i < 0 || j < 0 || i >= 20 || j >= 20) return old;
      return before.Pixel(10 + i, 10 + j);
    });
  }
}

TEST(ColourKeyedCopy, RoundNumberIsStretchedFrom70To65AndBlackIsTransparent) {
  // A counter sheet whose columns are distinguishable, with black holes to see through.
  Surface counter(939, 100, 0);
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 939; ++x) {
      bool hole = (x + y) % 7 == 0;
      counter.SetPixel(x, y,
                       hole ? 0x000000 : (0x010000u * (x % 200 + 1)) | static_cast<uint32_t>(y));
    }
  }
  const Surface screen = PatternSurface(640, 480, 15);
  for (int round : {1, 9}) {
    Surface out = screen;
    const int sx = 70 * (round - 1);
    TransparentBlt(out, 150, 150, 65, 100, counter, sx, 0, 70, 100, 0x000000);
    ExpectEveryPixel(screen, out, [&](int x, int y, uint32_t old) {
      int i = x - 150, j = y - 150;
      if (i < 0 || j < 0 || i >= 65 || j >= 100) return old;
      uint32_t s = counter.Pixel(sx + (2 * i + 1) * 70 / 130, j);
      return s == 0 ? old : s;
    });
    // Nearest sampling never leaves the 70-pixel cell and keeps both of its ends.
    EXPECT_EQ(out.Pixel(150, 152), counter.Pixel(sx, 2));
    EXPECT_EQ(out.Pixel(214, 152), counter.Pixel(sx + 69, 2));
    ASSERT_NE(counter.Pixel(sx + 69, 2), 0u);
  }
}

TEST(ColourKeyedCopy, UnscaledWordImageAndClipping) {
  const Surface src = PatternSurface(30, 30, 16);
  Surface keyed = src;
  for (int i = 0; i < 30; ++i) keyed.SetPixel(i, i, 0x000000);
  const Surface screen = PatternSurface(40, 40, 17);
  struct Case {
    int dx, dy, w, h, sx, sy;
  };
  for (const Case& c : {Case{5, 5, 30, 30, 0, 0}, Case{-10, 20, 30, 30, 0, 0},
                        Case{0, 0, 30, 30, 10, -5}, Case{0, 0, 0, 0, 0, 0}}) {
    Surface out = screen;
    TransparentBlt(out, c.dx, c.dy, c.w, c.h, keyed, c.sx, c.sy, c.w, c.h, 0x000000);
    ExpectEveryPixel(screen, out, [&](int x, int y, uint32_t old) {
      int i = x - c.dx, j = y - c.dy;
      if (i < 0 || j < 0 || i >= c.w || j >= c.h || !keyed.Contains(c.sx + i, c.sy + j)) return old;
      uint32_t s = keyed.Pixel(c.sx + i, c.sy + j);
      return s == 0 ? old : s;
    });
  }
}

TEST(ColourKeyedCopy, EmptySourceOrDestinationIsHarmless) {
  Surface empty;
  Surface screen = PatternSurface(10, 10, 18);
  const Surface before = screen;
  TransparentBlt(screen, 0, 0, 10, 10, empty, 0, 0, 10, 10, 0);
  AlphaBlend(screen, 0, 0, 10, 10, empty, 0, 0, 10, 10, 255 * 65536);
  BitBlt(screen, 0, 0, 10, 10, empty, 0, 0);
  TransparentBlt(empty, 0, 0, 10, 10, screen, 0, 0, 10, 10, 0);
  AlphaBlend(empty, 0, 0, 10, 10, screen, 0, 0, 5, 5, 255 * 65536);
  BitBlt(empty, 0, 0, 10, 10, screen, 0, 0);
  EXPECT_TRUE(empty.empty());
  ExpectEveryPixel(before, screen, [](int, int, uint32_t old) { return old; });
}

}  // namespace
}  // namespace rv

namespace rv {
namespace {

// A piece comes from the picture its rectangle names, whichever picture that is, with the
// copy kind asked for; a rectangle naming no picture is refused.
TEST(CopyPieceTest, CutsFromThePictureTheRectangleNames) {
  PictureSet pictures;
  for (int16_t n = 0; n < rects::kPictureCount; ++n) {
    *pictures.ByNumber(n) = test::PatternSurface(64, 48, 100 + static_cast<uint32_t>(n));
  }
  for (int16_t n = 0; n < rects::kPictureCount; ++n) {
    SCOPED_TRACE("picture " + std::to_string(n));
    const rects::Rect piece{static_cast<rects::Picture>(n), 5, 7, 20, 10};
    Surface dst = test::PatternSurface(64, 48, 7);
    const Surface before = dst;
    CopyPiece(dst, 30, 20, pictures, piece);
    const Surface& src = *pictures.ByNumber(n);
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 64; ++x) {
        const bool inside = x >= 30 && x < 50 && y >= 20 && y < 30;
        const uint32_t want = inside ? src.Pixel(x - 30 + 5, y - 20 + 7) : before.Pixel(x, y);
        ASSERT_EQ(dst.Pixel(x, y), want) << x << "," << y;
      }
    }
    Surface anded = before;
    CopyPiece(anded, 30, 20, pictures, piece, RasterOp::kSrcAnd);
    EXPECT_EQ(anded.Pixel(30, 20), before.Pixel(30, 20) & src.Pixel(5, 7));
  }
  Surface dst(8, 8);
  EXPECT_THROW(
      CopyPiece(dst, 0, 0, pictures, rects::Rect{static_cast<rects::Picture>(10), 0, 0, 1, 1}),
      std::out_of_range);
}

}  // namespace
}  // namespace rv
