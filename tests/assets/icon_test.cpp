// The desktop icon: sizes, a transparent outside, the letter and the blocks where they
// belong, and files that read back as what was painted.

#include "pictures/icon.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <stdexcept>

namespace rv::assets {
namespace {

namespace fs = std::filesystem;

std::array<int, 4> PixelAt(const RgbaImage& img, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * img.width + x) * 4;
  return {img.rgba[i], img.rgba[i + 1], img.rgba[i + 2], img.rgba[i + 3]};
}

bool IsGold(const std::array<int, 4>& p) { return p[0] > 200 && p[1] > 120 && p[2] < 110; }
bool IsBlue(const std::array<int, 4>& p) { return p[2] > 150 && p[2] > p[0] + 60; }

// How many pixels of the rows [y0, y1) pass the test.
template <typename Test>
int CountIn(const RgbaImage& img, int y0, int y1, Test test) {
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = 0; x < img.width; ++x) n += test(PixelAt(img, x, y)) ? 1 : 0;
  }
  return n;
}

RgbaImage ReadRgbaPng(const fs::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  RgbaImage out;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return out;
  image.format = PNG_FORMAT_RGBA;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) return {};
  return out;
}

TEST(IconTest, EachSizeIsATileWithTheLetterAboveTheBlocks) {
  for (int size : {16, 48, 128, 256}) {
    SCOPED_TRACE(size);
    const RgbaImage icon = BuildIcon(size);
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.height, size);
    ASSERT_EQ(icon.rgba.size(), static_cast<std::size_t>(size) * size * 4);
    // Outside the rounded tile nothing is painted; inside everything is opaque.
    for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}}) {
      EXPECT_EQ(PixelAt(icon, x, y)[3], 0) << x << "," << y;
    }
    EXPECT_EQ(PixelAt(icon, size / 2, size / 2)[3], 255);
    EXPECT_EQ(PixelAt(icon, size / 2, size / 10)[3], 255);
    // The rim is smoothed: some pixels are partly covered.
    EXPECT_GT(CountIn(icon, 0, size, [](auto p) { return p[3] > 0 && p[3] < 255; }), 0);
    // Gold letter in the upper part, none of it among the blocks at the bottom.
    const int upper = CountIn(icon, 0, size * 7 / 10, IsGold);
    EXPECT_GT(upper, size * size / 20);
    EXPECT_EQ(CountIn(icon, size * 4 / 5, size, IsGold), 0);
    // The player's blue blocks in the bottom band.
    EXPECT_GT(CountIn(icon, size * 3 / 4, size * 9 / 10, IsBlue), size * size / 100);
  }
}

TEST(IconTest, TheSamePaintingEveryTime) {
  const RgbaImage a = BuildIcon(48);
  const RgbaImage b = BuildIcon(48);
  EXPECT_EQ(a.rgba, b.rgba);
  EXPECT_NE(BuildIcon(128).rgba, a.rgba);
}

TEST(IconTest, TooSmallASizeIsRefused) {
  EXPECT_THROW(BuildIcon(15), std::invalid_argument);
  EXPECT_THROW(BuildIcon(0), std::invalid_argument);
}

TEST(IconTest, TheThemeFilesReadBackAsPainted) {
  std::string templ = (fs::temp_directory_path() / "rv_icons_XXXXXX").string();
  ASSERT_NE(::mkdtemp(templ.data()), nullptr);
  const fs::path root = templ;
  ASSERT_TRUE(WriteIconTheme(root, "example"));
  for (int size : kIconSizes) {
    SCOPED_TRACE(size);
    const std::string dim = std::to_string(size) + "x" + std::to_string(size);
    const RgbaImage read = ReadRgbaPng(root / "hicolor" / dim / "apps" / "example.png");
    EXPECT_EQ(read.width, size);
    EXPECT_EQ(read.rgba, BuildIcon(size).rgba);
  }
  // A theme root that cannot be made is a failure, not a silent success.
  EXPECT_FALSE(WriteIconTheme(root / "hicolor/48x48/apps/example.png/below", "example"));
  fs::remove_all(root);
}

}  // namespace
}  // namespace rv::assets
