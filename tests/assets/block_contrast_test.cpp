// The two sides' blocks as the generated pictures draw them: apart in lightness for
// every vision, apart from the board, and marked so that colour is not the only cue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "picture_reader.h"
#include "support/colour_vision.h"

namespace rects = rv::rects;
using rv::assets::testing::Contrast;
using rv::assets::testing::Decoded;
using rv::assets::testing::kAllVisions;
using rv::assets::testing::Luminance;
using rv::assets::testing::Pixels;
using rv::assets::testing::Rgb8;
using rv::assets::testing::Vision;
using rv::assets::testing::VisionName;

namespace {

constexpr int kCell = 16;
constexpr int kColumns = 40, kRows = 29;

Rgb8 MeanColour(const Pixels& p, int x0, int y0, int w, int h, bool skip_grid = false) {
  Rgb8 sum{};
  int n = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) {
      if (skip_grid && (x % kCell == 0 || y % kCell == 0)) continue;
      for (std::size_t c = 0; c < 3; ++c) sum[c] += p.At(x, y)[c];
      ++n;
    }
  for (double& s : sum) s /= n;
  return sum;
}

// The face: the block's inner square inside the bevels, mark included, as the eye
// takes it in from a distance.
Rgb8 Face(const rects::Rect& chip) {
  return MeanColour(Decoded(rects::Picture::kChip), chip.x + 3, chip.y + 3, 10, 10);
}

// The board's shade in a cell where a block can land, grid lines left out (a block
// covers its own cell's lines).
Rgb8 BoardCell(int column, int row) {
  return MeanColour(Decoded(rects::Picture::kScreen), column * kCell, row * kCell, kCell, kCell,
                    true);
}

TEST(Blocks, TheTwoFacesDifferInLightnessForEveryVision) {
  const Rgb8 player = Face(rects::kPlayerChip), cpu = Face(rects::kCpuChip);
  for (Vision v : kAllVisions) {
    const double c = Contrast(player, cpu, v);
    std::printf("faces, %s: %.2f:1\n", VisionName(v), c);
    EXPECT_GE(c, 1.8) << VisionName(v);
  }
}

TEST(Blocks, EachFaceStandsApartFromEveryShadeOfTheBoard) {
  for (const rects::Rect& chip : {rects::kPlayerChip, rects::kCpuChip}) {
    const Rgb8 face = Face(chip);
    double lowest = 1e9;
    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < kColumns; ++column)
        lowest = std::min(lowest, Contrast(face, BoardCell(column, row)));
    std::printf("face at y %d against the board: at least %.2f:1\n", chip.y, lowest);
    EXPECT_GE(lowest, 3.0) << "chip at y " << chip.y;
  }
}

TEST(Board, NeighbouringColumnsDifferEnoughToFollowByEye) {
  double lowest = 1e9;
  for (int row = 0; row < kRows; ++row)
    for (int column = 0; column + 1 < kColumns; ++column)
      lowest = std::min(lowest, Contrast(BoardCell(column, row), BoardCell(column + 1, row)));
  std::printf("neighbouring columns: at least %.3f:1\n", lowest);
  EXPECT_GE(lowest, 1.04);
}

// The pixels of the face that stand out from it: the side's mark.
std::vector<bool> Mark(const rects::Rect& chip) {
  const Pixels& p = Decoded(rects::Picture::kChip);
  const double face = Luminance(Face(chip));
  std::vector<bool> mark;
  for (int y = 5; y < 12; ++y)
    for (int x = 5; x < 12; ++x) {
      const auto c = p.At(chip.x + x, chip.y + y);
      mark.push_back(Contrast(Luminance(Rgb8{double(c[0]), double(c[1]), double(c[2])}), face) >
                     1.3);
    }
  return mark;
}

TEST(Blocks, EachSideCarriesItsOwnMarkSoColourIsNotTheOnlyCue) {
  const std::vector<bool> player = Mark(rects::kPlayerChip), cpu = Mark(rects::kCpuChip);
  const auto count = [](const std::vector<bool>& m) {
    return std::count(m.begin(), m.end(), true);
  };
  EXPECT_GE(count(player), 8);
  EXPECT_GE(count(cpu), 8);
  int differ = 0;
  for (std::size_t i = 0; i < player.size(); ++i) differ += player[i] != cpu[i];
  EXPECT_GE(differ, 12) << "the two marks have different shapes";
}

}  // namespace
