// The desktop icon: sizes, a transparent outside, the letter and the blocks where they
// belong, and files that read back as what was painted.

#include "pictures/icon.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>

#include "pictures/icon_svg.h"
#include "support/temp_folder.h"

namespace rv::assets {
namespace {

namespace fs = std::filesystem;

std::array<int, 4> PixelAt(const RgbaImage& img, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * img.width + x) * 4;
  return {img.rgba[i], img.rgba[i + 1], img.rgba[i + 2], img.rgba[i + 3]};
}

bool IsGold(const std::array<int, 4>& p) { return p[0] > 200 && p[1] > 120 && p[2] < 110; }
// Any colour of the letter's fill, from its pale top to its deep bottom.
bool IsLetterFill(const std::array<int, 4>& p) { return p[0] > 180 && p[0] - p[2] > 40; }
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
  const test::TempFolder temp("icons");
  const fs::path root = temp.path();
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
}

// The letter's outline as drawn on the canvas: the path's points moved by its group's
// translation and lean. Control points count too; they lie near the outline.
struct Box {
  double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
  int points = 0;
};

Box LetterBox(const std::string& svg) {
  Box box;
  const std::regex group(
      R"re(<g transform="translate\(([-0-9.]+) ([-0-9.]+)\) matrix\(1 0 ([-0-9.]+) 1 0 0\)">)re");
  const std::size_t letter = svg.find("id=\"letter\"");
  if (letter == std::string::npos) return box;
  std::smatch m;
  std::string::const_iterator from = svg.begin();
  double dx = 0, dy = 0, lean = 0;
  // The last group opened before the letter is the letter's.
  while (std::regex_search(from, svg.begin() + static_cast<long>(letter), m, group)) {
    dx = std::stod(m[1]);
    dy = std::stod(m[2]);
    lean = std::stod(m[3]);
    from = m[0].second;
  }
  const std::size_t d0 = svg.find(" d=\"", letter) + 4;
  const std::string d = svg.substr(d0, svg.find('"', d0) - d0);
  const std::regex number("-?[0-9]+(\\.[0-9]+)?");
  std::vector<double> values;
  for (auto it = std::sregex_iterator(d.begin(), d.end(), number); it != std::sregex_iterator();
       ++it) {
    values.push_back(std::stod(it->str()));
  }
  for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
    const double x = values[i] + lean * values[i + 1] + dx;
    const double y = values[i + 1] + dy;
    box.left = std::min(box.left, x);
    box.right = std::max(box.right, x);
    box.top = std::min(box.top, y);
    box.bottom = std::max(box.bottom, y);
    ++box.points;
  }
  return box;
}

TEST(IconSvgTest, AWholeDocumentWhoseColoursAreAllDefined) {
  const std::string svg = BuildIconSvg();
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
  EXPECT_NE(svg.find("viewBox=\"0 0 256.00 256.00\""), std::string::npos);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  const auto count = [&](const std::string& what) {
    int n = 0;
    for (std::size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("<g "), count("</g>"));
  EXPECT_EQ(count("<defs>"), 1);
  const std::regex reference(R"(url\(#([a-z]+)\))");
  std::set<std::string> used;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), reference);
       it != std::sregex_iterator(); ++it) {
    used.insert((*it)[1]);
  }
  EXPECT_GE(used.size(), 5u);
  for (const std::string& id : used) {
    EXPECT_NE(svg.find("id=\"" + id + "\""), std::string::npos) << id;
  }
  EXPECT_EQ(BuildIconSvg(), svg);
}

// The vector letter stands where the painted one does: inside the tile, above the blocks,
// centred, and over the painted gold.
TEST(IconSvgTest, TheLetterStandsWhereThePaintedOneDoes) {
  const Box box = LetterBox(BuildIconSvg());
  ASSERT_GT(box.points, 20);
  EXPECT_GT(box.left, 0.04 * 256);
  EXPECT_LT(box.right, 0.96 * 256);
  EXPECT_GT(box.top, 0.04 * 256);
  EXPECT_LT(box.bottom, 0.76 * 256);
  EXPECT_NEAR((box.left + box.right) / 2, 128.0, 3.0);
  const RgbaImage painted = BuildIcon(256);
  int gold_left = 256, gold_right = 0, gold_top = 256, gold_bottom = 0;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      if (!IsLetterFill(PixelAt(painted, x, y))) continue;
      gold_left = std::min(gold_left, x);
      gold_right = std::max(gold_right, x);
      gold_top = std::min(gold_top, y);
      gold_bottom = std::max(gold_bottom, y);
    }
  }
  EXPECT_NEAR(box.left, gold_left, 10.0);
  EXPECT_NEAR(box.right, gold_right, 10.0);
  EXPECT_NEAR(box.top, gold_top, 12.0);
  EXPECT_NEAR(box.bottom, gold_bottom, 12.0);
}

TEST(IconSvgTest, TheScalableFileHoldsTheDocument) {
  const test::TempFolder temp("icons");
  const fs::path root = temp.path();
  ASSERT_TRUE(WriteScalableIcon(root, "example"));
  std::ifstream in(root / "hicolor/scalable/apps/example.svg", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(text, BuildIconSvg());
  std::ofstream(root / "file").put('x');
  EXPECT_FALSE(WriteScalableIcon(root / "file", "example"));
}

}  // namespace
}  // namespace rv::assets
