// The cursor shapes a player can find: measured in the frames of a real match, each
// outline stands at least 3:1 (the contrast ratio of relative luminances) against the
// board and against the blocks of either side around it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "game/gfx/display.h"
#include "match_harness.h"

namespace rv::test {
namespace {

double Linear(uint32_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(double r, double g, double b) {
  return 0.2126 * Linear(static_cast<uint32_t>(std::lround(r))) +
         0.7152 * Linear(static_cast<uint32_t>(std::lround(g))) +
         0.0722 * Linear(static_cast<uint32_t>(std::lround(b)));
}

double Luminance(uint32_t rgb) { return Luminance(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

enum Side { kPlayerSide, kCpuSide };

// Which side's block stands in the 16 x 16 cell at (x, y) of the frame, if one does.
int BlockIn(const CapturedFrame& f, const Surface& chips, int x, int y) {
  for (int side : {kPlayerSide, kCpuSide}) {
    bool same = true;
    for (int j = 0; j < 16 && same; ++j) {
      for (int i = 0; i < 16 && same; ++i)
        same = f.Pixel(x + i, y + j) == chips.Pixel(i, 16 * side + j);
    }
    if (same) return side;
  }
  return -1;
}

// The luminance of the cell's average colour, as the eye sees a block from a distance.
double CellLuminance(const CapturedFrame& f, int x, int y) {
  double r = 0, g = 0, b = 0;
  for (int j = 0; j < 16; ++j) {
    for (int i = 0; i < 16; ++i) {
      const uint32_t c = f.Pixel(x + i, y + j);
      r += c >> 16;
      g += (c >> 8) & 0xFF;
      b += c & 0xFF;
    }
  }
  return Luminance(r / 256, g / 256, b / 256);
}

class CursorContrast : public ::testing::Test {
 protected:
  // Lowest contrast seen for [cursor][side of the block beside it]; 0 while unseen.
  std::array<std::array<double, 2>, 2> lowest_{};
  double lowest_to_board_ = 1e9;
  int frames_looked_at_ = 0;
  int empty_cells_ = 0;

  void Look(const CapturedFrame& f, const Game& game) {
    const Surface& chips = game.pictures.PicChip;
    const CursorShape* shapes[] = {&game.display.CharaCursor, &game.display.EnemyCursor};
    for (int cursor = 0; cursor < 2; ++cursor) {
      const CursorShape& s = *shapes[cursor];
      if (!s.Visible() || s.Y() >= 464) continue;
      ++frames_looked_at_;
      // The outline's colour as presented, on both of its rows.
      const uint32_t outline = f.Pixel(s.X() + 8, s.Y());
      ASSERT_EQ(f.Pixel(s.X() + 8, s.Y() + 1), outline);
      const double lum = Luminance(outline);
      for (int dy = -16; dy <= 16; dy += 16) {
        for (int dx = -16; dx <= 16; dx += 16) {
          const int side = BlockIn(f, chips, s.X() + dx, s.Y() + dy);
          if (side < 0) continue;
          const double c = Contrast(lum, CellLuminance(f, s.X() + dx, s.Y() + dy));
          double& low = lowest_[static_cast<size_t>(cursor)][static_cast<size_t>(side)];
          low = low == 0 ? c : std::min(low, c);
        }
      }
      // The board right inside the outline, where the cell is empty.
      const Surface& board = game.pictures.Screen;
      const int b = CursorShape::kBorder;
      bool empty = true;
      for (int j = b; j < 16 - b && empty; ++j) {
        for (int i = b; i < 16 - b && empty; ++i) {
          empty = f.Pixel(s.X() + i, s.Y() + j) == board.Pixel(s.X() + i, s.Y() + j);
        }
      }
      if (empty) {
        ++empty_cells_;
        lowest_to_board_ =
            std::min(lowest_to_board_, Contrast(lum, Luminance(f.Pixel(s.X() + b, s.Y() + b))));
      }
    }
  }
};

TEST_F(CursorContrast, BothOutlinesStandOutFromTheBoardAndTheBlocksBesideThem) {
  MatchHarness h(3);
  h.UseBot(sim::PlayerKind::kRandom, 3);
  bool saved = false;
  h.platform().on_present = [&, keep = h.platform().on_present](const CapturedFrame& f) {
    keep(f);
    if (!h.InPlay()) return;
    Look(f, h.game());
    const char* dir = std::getenv("RV_TEST_FRAMES_DIR");
    if (dir != nullptr && !saved && h.game().display.CharaCursor.Visible() &&
        h.game().match.MoveRound > 6) {
      saved = SavePng(f, std::filesystem::path(dir) / "cursor_contrast.png");
    }
  };
  ASSERT_EQ(h.Play(1, 3), std::nullopt);
  ASSERT_GT(frames_looked_at_, 100);
  // The grid's brightest pixels are the worst case of the board.
  double brightest_board = 0;
  const Surface& board = h.game().pictures.Screen;
  for (int y = 0; y < 464; ++y) {
    for (int x = 0; x < 640; ++x)
      brightest_board = std::max(brightest_board, Luminance(board.Pixel(x, y)));
  }
  for (uint32_t colour : {Display::kCharaColor, Display::kEnemyColor}) {
    EXPECT_GE(Contrast(Luminance(colour), brightest_board), 3.0) << std::hex << colour;
  }
  ASSERT_GT(empty_cells_, 0);
  std::printf("outlines against the board: at least %.2f:1\n", lowest_to_board_);
  EXPECT_GE(lowest_to_board_, 3.0);
  const char* cursor_names[] = {"player's", "CPU's"};
  const char* side_names[] = {"player's block", "CPU's block"};
  for (size_t cursor = 0; cursor < 2; ++cursor) {
    for (size_t side = 0; side < 2; ++side) {
      const double c = lowest_[cursor][side];
      std::printf("%s outline beside a %s: at least %.2f:1\n", cursor_names[cursor],
                  side_names[side], c);
      EXPECT_GT(c, 0.0) << cursor_names[cursor] << " outline never beside a " << side_names[side];
      EXPECT_GE(c, 3.0) << cursor_names[cursor] << " outline beside a " << side_names[side];
    }
  }
}

}  // namespace
}  // namespace rv::test
