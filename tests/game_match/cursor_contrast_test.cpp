// The cursor shapes a player can find and tell apart: measured in the frames of a real
// match, the player's rim is plainly blue and the CPU's plainly red, and each outline (the
// better of its rim and its line) stands at least 3:1 (the contrast ratio of relative
// luminances) against the board and against the blocks of either side around it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "game/gfx/display.h"
#include "match_harness.h"
#include "support/colour_vision.h"

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
  std::array<uint32_t, 2> rims_{};  // as last presented: [player's, CPU's]
  int frames_looked_at_ = 0;
  int empty_cells_ = 0;

  void ExpectPlainlyBlueAndRed() const;

  void Look(const CapturedFrame& f, const Game& game) {
    const Surface& chips = game.pictures.PicChip;
    const CursorShape* shapes[] = {&game.display.CharaCursor, &game.display.EnemyCursor};
    for (int cursor = 0; cursor < 2; ++cursor) {
      const CursorShape& s = *shapes[cursor];
      if (!s.Visible() || s.Y() >= 464) continue;
      ++frames_looked_at_;
      // The rim's colour as presented, on both of its rows, and the line inside it.
      const uint32_t rim = f.Pixel(s.X() + 8, s.Y());
      ASSERT_EQ(f.Pixel(s.X() + 8, s.Y() + 1), rim);
      rims_[cursor] = rim;
      const double lums[] = {Luminance(rim), Luminance(f.Pixel(s.X() + 8, s.Y() + 2))};
      for (int dy = -16; dy <= 16; dy += 16) {
        for (int dx = -16; dx <= 16; dx += 16) {
          const int side = BlockIn(f, chips, s.X() + dx, s.Y() + dy);
          if (side < 0) continue;
          const double cell = CellLuminance(f, s.X() + dx, s.Y() + dy);
          const double c = std::max(Contrast(lums[0], cell), Contrast(lums[1], cell));
          double& low = lowest_[static_cast<size_t>(cursor)][static_cast<size_t>(side)];
          low = low == 0 ? c : std::min(low, c);
        }
      }
      // The board right inside the outline, where the cell is empty.
      const Surface& board = game.pictures.Screen;
      const int b = CursorShape::kBorder + CursorShape::kLine;
      bool empty = true;
      for (int j = b; j < 16 - b && empty; ++j) {
        for (int i = b; i < 16 - b && empty; ++i) {
          empty = f.Pixel(s.X() + i, s.Y() + j) == board.Pixel(s.X() + i, s.Y() + j);
        }
      }
      if (empty) {
        ++empty_cells_;
        const double board_lum = Luminance(f.Pixel(s.X() + b, s.Y() + b));
        lowest_to_board_ = std::min(
            lowest_to_board_, std::max(Contrast(lums[0], board_lum), Contrast(lums[1], board_lum)));
      }
    }
  }
};

// The rims as drawn: blue within 20 degrees of pure blue, red within 20 degrees of pure red,
// both saturated; and in every kind of colour vision the two differ plainly in hue or, where
// a deficiency pulls the hues together, in lightness.
void CursorContrast::ExpectPlainlyBlueAndRed() const {
  namespace cv = assets::testing;
  auto rgb = [](uint32_t c) {
    return cv::Rgb8{double(c >> 16), double((c >> 8) & 0xFF), double(c & 0xFF)};
  };
  const cv::Rgb8 player = rgb(rims_[0]), cpu = rgb(rims_[1]);
  const struct {
    const char* name;
    cv::Rgb8 rim;
    double hue;
  } rims[] = {{"player's", player, 240}, {"CPU's", cpu, 0}};
  for (const auto& r : rims) {
    const double off = std::fabs(std::remainder(cv::Hue(r.rim) - r.hue, 360.0));
    EXPECT_LE(off, 20.0) << r.name << " rim hue " << cv::Hue(r.rim);
    EXPECT_GE(cv::Saturation(r.rim), 0.5) << r.name << " rim";
  }
  for (cv::Vision v : cv::kAllVisions) {
    const cv::Rgb8 a = cv::AsSeen(player, v), b = cv::AsSeen(cpu, v);
    const double hue_apart = std::fabs(std::remainder(cv::Hue(a) - cv::Hue(b), 360.0));
    const double lightness_apart = cv::Contrast(a, b);
    std::printf("%s: rims %.0f degrees apart, lightness %.2f:1\n", cv::VisionName(v), hue_apart,
                lightness_apart);
    EXPECT_TRUE(hue_apart >= 90 || lightness_apart >= 1.5) << cv::VisionName(v);
  }
}

TEST_F(CursorContrast, BothOutlinesStandOutFromTheBoardAndTheBlocksBesideThem) {
  MatchHarness h(3);
  h.UseBot(PlayerKind::kRandom, 3);
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
  ExpectPlainlyBlueAndRed();
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
