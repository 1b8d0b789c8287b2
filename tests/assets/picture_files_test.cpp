// The picture files: format, size, determinism, and the properties the game's
// copies rely on (transparent black, the cursor's white and black, the skin's
// seamless tiling) or that make the screens readable.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "picture_reader.h"
#include "pictures/pictures.h"

namespace rects = rv::rects;
using rv::assets::testing::Decoded;
using rv::assets::testing::Pixels;

namespace {
double Luma(const std::array<int, 3>& c) { return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]; }

std::array<double, 3> MeanColour(const Pixels& p, const rects::Rect& r) {
  std::array<double, 3> sum{};
  for (int y = r.y; y < r.Bottom(); ++y)
    for (int x = r.x; x < r.Right(); ++x)
      for (int c = 0; c < 3; ++c) sum[c] += p.At(x, y)[c];
  for (double& s : sum) s /= static_cast<double>(r.w * r.h);
  return sum;
}

TEST(PictureFiles, EachFileHasTheFormatAndSizeTheGameLoads) {
  const auto& folder = rv::assets::testing::GeneratedFolder();
  for (const rects::PictureFile& f : rects::kPictureFiles) {
    SCOPED_TRACE(f.name);
    const auto path = rv::assets::testing::PicturePath(folder, f);
    const std::vector<std::uint8_t> bytes = rv::assets::testing::ReadBytes(path);
    ASSERT_GE(bytes.size(), 8u);
    if (f.png) {
      EXPECT_EQ(png_sig_cmp(bytes.data(), 0, 8), 0);
      const auto info = rv::assets::testing::ReadPng(path);
      ASSERT_TRUE(info.ok);
      EXPECT_EQ(info.bit_depth, 8);
      EXPECT_TRUE(info.color_type == PNG_COLOR_TYPE_RGB || info.color_type == PNG_COLOR_TYPE_RGBA);
      EXPECT_FALSE(info.has_time) << "a time chunk would make two builds differ";
      EXPECT_EQ(info.pixels.w, f.width);
      EXPECT_EQ(info.pixels.h, f.height);
    } else {
      const auto info = rv::assets::testing::ReadBmp(path);
      ASSERT_TRUE(info.ok);
      EXPECT_EQ(info.bits, 24);
      EXPECT_EQ(info.compression, 0u);
      EXPECT_TRUE(info.bottom_up);
      EXPECT_EQ(info.pixels.w, f.width);
      EXPECT_EQ(info.pixels.h, f.height);
    }
  }
}

TEST(PictureFiles, SizesMeetWhatTheScreensNeed) {
  auto size = [](rects::Picture p) { return std::pair{Decoded(p).w, Decoded(p).h}; };
  EXPECT_EQ(size(rects::Picture::kScreen), (std::pair{640, 480}));
  EXPECT_EQ(size(rects::Picture::kBack), (std::pair{640, 480}));
  EXPECT_EQ(size(rects::Picture::kTitle), (std::pair{501, 150}));
  EXPECT_EQ(size(rects::Picture::kLogo), (std::pair{150, 65}));
  EXPECT_EQ(size(rects::Picture::kChip), (std::pair{16, 32}));
  EXPECT_EQ(size(rects::Picture::kCursor), (std::pair{16, 30}));
  EXPECT_EQ(size(rects::Picture::kMenu), (std::pair{302, 174}));
  EXPECT_GE(Decoded(rects::Picture::kOther).w, 300);
  EXPECT_GE(Decoded(rects::Picture::kOther).h, 540);
  EXPECT_GE(Decoded(rects::Picture::kCounter).w, 939);
  EXPECT_GE(Decoded(rects::Picture::kCounter).h, 100);
  EXPECT_GE(Decoded(rects::Picture::kWindow).w, 96);
  EXPECT_GE(Decoded(rects::Picture::kWindow).h, 96);
}

TEST(PictureFiles, TwoRunsGiveIdenticalBytes) {
  const auto& first = rv::assets::testing::GeneratedFolder();
  const auto second = first.string() + "_again";
  ASSERT_TRUE(rv::assets::WritePictureFiles(rv::assets::BuildPictures(), second));
  for (const rects::PictureFile& f : rects::kPictureFiles) {
    const auto a = rv::assets::testing::ReadBytes(rv::assets::testing::PicturePath(first, f));
    const auto b = rv::assets::testing::ReadBytes(rv::assets::testing::PicturePath(second, f));
    EXPECT_FALSE(a.empty()) << f.name;
    EXPECT_EQ(a, b) << f.name;
  }
  std::filesystem::remove_all(second);
}

TEST(PictureFiles, WritingIntoAnUnwritableFolderFailsCleanly) {
  // A regular file where the folder should be: nothing can be created below it.
  const auto blocker = rv::assets::testing::GeneratedFolder().string() + "_blocker";
  { std::ofstream(blocker) << "x"; }
  EXPECT_FALSE(rv::assets::WritePictureFiles(rv::assets::BuildPictures(), blocker));
  std::filesystem::remove(blocker);
}

TEST(Chips, PlayerIsBlueCpuIsRedBothBevelled) {
  const Pixels& p = Decoded(rects::Picture::kChip);
  const auto player = MeanColour(p, rects::kPlayerChip);
  const auto cpu = MeanColour(p, rects::kCpuChip);
  EXPECT_GT(player[2], player[0] + 60);
  EXPECT_GT(cpu[0], cpu[2] + 60);
  for (const rects::Rect& chip : {rects::kPlayerChip, rects::kCpuChip}) {
    // Light falls from the top left: that bevel is brighter than the bottom right one.
    const rects::Rect top_left{chip.picture, chip.x + 1, chip.y + 1, 2, 12};
    const rects::Rect bottom_right{chip.picture, chip.x + 13, chip.y + 3, 2, 12};
    auto luma = [](const std::array<double, 3>& c) {
      return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
    };
    EXPECT_GT(luma(MeanColour(p, top_left)), luma(MeanColour(p, bottom_right)) + 30);
  }
}

TEST(MatchBackground, GridIsFaintButReadableAndTheFloorStripStandsApart) {
  const Pixels& p = Decoded(rects::Picture::kScreen);
  double lines = 0, cells = 0;
  int n_lines = 0, n_cells = 0;
  for (int y = 0; y < 464; ++y)
    for (int x = 0; x < 640; ++x) {
      if (x % 16 == 0 && y % 16 != 0) lines += Luma(p.At(x, y)), ++n_lines;
      if (x % 16 == 8 && y % 16 == 8) cells += Luma(p.At(x, y)), ++n_cells;
    }
  const double contrast = lines / n_lines - cells / n_cells;
  EXPECT_GT(contrast, 2.0) << "column lines must be visible";
  EXPECT_LT(contrast, 40.0) << "and faint";
  double board = 0, strip = 0;
  for (int x = 0; x < 640; ++x) board += Luma(p.At(x, 460)), strip += Luma(p.At(x, 470));
  EXPECT_GT(std::abs(strip - board) / 640.0, 10.0);
}

TEST(Menu, SelectedItemsAreClearlyDifferentFromPlainOnes) {
  const Pixels& p = Decoded(rects::Picture::kMenu);
  for (int j = 0; j < rects::kMenuItemCount; ++j) {
    const rects::Rect a = rects::kMenuItemSelected(j), b = rects::kMenuItemPlain(j);
    double diff = 0, luma_a = 0, luma_b = 0;
    for (int y = 0; y < a.h; ++y)
      for (int x = 0; x < a.w; ++x) {
        const auto ca = p.At(a.x + x, a.y + y), cb = p.At(b.x + x, b.y + y);
        for (int c = 0; c < 3; ++c) diff += std::abs(ca[c] - cb[c]);
        luma_a += Luma(ca);
        luma_b += Luma(cb);
      }
    EXPECT_GT(diff / (a.w * a.h * 3), 20.0) << j;
    EXPECT_GT(luma_a, luma_b * 1.5) << "the selected item is the bright one, " << j;
  }
  // The three items are different texts.
  for (int j = 1; j < rects::kMenuItemCount; ++j) {
    const rects::Rect a = rects::kMenuItemPlain(0), b = rects::kMenuItemPlain(j);
    int differ = 0;
    for (int y = 0; y < a.h; ++y)
      for (int x = 0; x < a.w; ++x) differ += p.At(a.x + x, a.y + y) != p.At(b.x + x, b.y + y);
    EXPECT_GT(differ, 100) << j;
  }
}

TEST(RouletteCursor, ImageOnWhiteAndMaskWhiteOnBlackDrawCleanlyWithOrThenAnd) {
  const Pixels& p = Decoded(rects::Picture::kCursor);
  const rects::Rect im = rects::kRouletteCursorImage, mk = rects::kRouletteCursorMask;
  int cursor_pixels = 0, coloured = 0;
  for (int y = 0; y < im.h; ++y)
    for (int x = 0; x < im.w; ++x) {
      const bool mask_white = p.IsWhite(mk.x + x, mk.y + y);
      ASSERT_TRUE(mask_white || p.IsBlack(mk.x + x, mk.y + y))
          << "mask is pure white or black at " << x << "," << y;
      if (!mask_white) {
        EXPECT_TRUE(p.IsWhite(im.x + x, im.y + y))
            << "image ground is exact white at " << x << "," << y;
      }
      cursor_pixels += mask_white;
      coloured += mask_white && !p.IsWhite(im.x + x, im.y + y);
    }
  EXPECT_GT(cursor_pixels, 40);
  EXPECT_EQ(coloured, cursor_pixels) << "every cursor pixel shows a colour";
  // OR then AND over a coloured ground: the ground survives around the cursor.
  const std::array<int, 3> ground{37, 90, 150};
  for (int y = 0; y < im.h; ++y)
    for (int x = 0; x < im.w; ++x) {
      std::array<int, 3> out{};
      for (int c = 0; c < 3; ++c)
        out[c] = (ground[c] | p.At(mk.x + x, mk.y + y)[c]) & p.At(im.x + x, im.y + y)[c];
      if (p.IsBlack(mk.x + x, mk.y + y)) {
        EXPECT_EQ(out, ground);
      } else {
        EXPECT_EQ(out, p.At(im.x + x, im.y + y));
      }
    }
}

TEST(WindowSkin, BandsAndSlicesTileWithoutSeams) {
  const Pixels& p = Decoded(rects::Picture::kWindow);
  const rects::Rect mid = rects::kRouletteUpperBand.middle;
  for (int y = 0; y < 96; ++y)
    for (int x = mid.x; x < mid.Right(); ++x)
      ASSERT_EQ(p.At(x, y), p.At(mid.x, y)) << x << "," << y;
  // Rows 16..79 repeat: the roulette's lower band starts at row 32 of the skin
  // right after the upper band ends at row 63.
  const int used_columns[] = {0, 1, 2, 3, 4, 10, 31, 32, 40, 51, 64, 70, 91, 92, 93, 94, 95};
  for (int x : used_columns)
    for (int y = 16; y < 80; ++y) ASSERT_EQ(p.At(x, y), p.At(x, 16)) << x << "," << y;
  // The frame stands out from the middle, and the panel square is one plain colour.
  EXPECT_NE(p.At(1, 48), p.At(48, 48));
  EXPECT_NE(p.At(48, 1), p.At(48, 48));
  const rects::Rect sq = rects::kPanelSquare;
  for (int y = sq.y; y < sq.Bottom(); ++y)
    for (int x = sq.x; x < sq.Right(); ++x) EXPECT_EQ(p.At(x, y), p.At(sq.x, sq.y));
  EXPECT_FALSE(p.IsBlack(sq.x, sq.y));
}

}  // namespace
