#pragma once
// A Game on the headless platform in a fresh program folder holding copies of the real
// pictures and decoder module, with its pictures loaded as start-up loads them; and the
// pixel comparisons the ranking tests make on captured frames.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "game/cpu/random_source.h"
#include "game/game.h"
#include "game/gfx/picture_rects.h"
#include "platform/headless/headless_platform.h"
#include "support/temp_folder.h"

namespace rv::test {

class RankingFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the ranking screen until it returns (the script must end it with Z).
  void RunShowRanking();
  // Key presses on the virtual clock, relative to now.
  void Press(uint32_t after_ms, int16_t key, uint32_t hold_ms = 40);

  const Surface& Other() const { return game_->pictures.PicOther; }
  const PictureSet& Pictures() const { return game_->pictures; }
  RankingTables& Tables() { return game_->ranking; }

  // Saves the frame as <name>.png when RV_SHOT_DIR names a folder (for looking at it).
  void SaveShot(const CapturedFrame& frame, const std::string& name) const;

  TempFolder temp_{"ranking"};
  std::filesystem::path folder_ = temp_.path();
  // Called at every pass of event servicing, before the game handles the pass's events.
  std::function<void(HeadlessPlatform&)> watch_;
  HeadlessPlatform platform_;
  SeededRandom rng_{1};
  std::unique_ptr<Game> game_;
};

// True when the w x h block of the frame at (x, y) equals the piece of src (clipped at the
// frame's edges, as the game's copies clip).
bool FrameShows(const CapturedFrame& frame, int x, int y, const Surface& src,
                const rects::Rect& piece);
// The same on a surface.
bool SurfaceShows(const Surface& screen, int x, int y, const Surface& src,
                  const rects::Rect& piece);
// True when every pixel of the block (clipped) is black.
bool FrameBlack(const CapturedFrame& frame, int x, int y, int w, int h);
bool SurfaceBlack(const Surface& screen, int x, int y, int w, int h);
// A frame as a surface, so the same checks serve both.
Surface ToSurface(const CapturedFrame& frame);

// Large digits of the layout: x of digit v (0..9) in its strip.
inline constexpr int kLargeDigitX[10] = {1, 26, 52, 78, 103, 128, 154, 180, 205, 230};
inline constexpr int kSmallDigitX[10] = {10, 36, 61, 86, 112, 138, 163, 188, 214, 240};
inline constexpr rects::Rect LargeDigitPiece(int v) {
  return {rects::Picture::kOther, kLargeDigitX[v], 90, 25, 27};
}
inline constexpr rects::Rect SmallDigitPiece(int v) {
  return {rects::Picture::kOther, kSmallDigitX[v], 125, 15, 27};
}
inline constexpr rects::Rect kSeparatorPiece{rects::Picture::kOther, 265, 125, 15, 27};

}  // namespace rv::test
