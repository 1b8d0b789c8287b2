// The pace of a match, read from the virtual times of its frames: the dark pause, the fade,
// the round title, the CPU's pause, its cursor walk and the banner.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "match_harness.h"

namespace rv::test {
namespace {

// WaitMs(N) returns after more than N ms, in 20 ms sleeps with 1 ms of event servicing each.
constexpr uint32_t kWaitSlack = 25;

bool SameFrame(const CapturedFrame& frame, const Surface& picture) {
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (frame.Pixel(x, y) != picture.Pixel(x, y)) return false;
    }
  }
  return true;
}

// A frame in which only the CPU's cursor moved, by one cell, while its turn runs.
bool IsWalkStep(const FrameInfo& prev, const FrameInfo& f) {
  const int dx = std::abs(f.enemy_x - prev.enemy_x);
  const int dy = std::abs(f.enemy_y - prev.enemy_y);
  // The CPU's block is on the board from the first step on; a new round's board is empty.
  return f.CharaTurn == 0 && f.enemy_visible && f.blocks > 0 && f.RoundNo == prev.RoundNo &&
         ((dx == 16 && dy == 0) || (dx == 0 && dy == 16));
}

class MatchTiming : public ::testing::Test {
 protected:
  void SetUp() override {
    h_.log_frames = true;
    h_.platform().KeepAllFrames(false);
    h_.UseBot(PlayerKind::kRandom, 11);
    // Keep the first frames whole: the fade is checked against the background picture.
    h_.platform().on_present = [this, keep = h_.platform().on_present](const CapturedFrame& f) {
      keep(f);
      if (first_frames_.size() < 40) first_frames_.push_back(f);
    };
    ASSERT_EQ(h_.Play(1, 3), std::nullopt);
    ASSERT_GT(h_.frame_log.size(), 40u);
    // The first frame is the cleared screen of the dark pause; the tests below count the
    // frames from the fade on.
    dark_info_ = h_.frame_log.front();
    dark_frame_ = first_frames_.front();
    if (const char* dir = std::getenv("RV_TEST_FRAMES_DIR")) {
      SavePng(*dark_frame_, std::filesystem::path(dir) / "dark_pause.png");
    }
    h_.frame_log.erase(h_.frame_log.begin());
    first_frames_.erase(first_frames_.begin());
  }

  MatchHarness h_{11};
  std::vector<CapturedFrame> first_frames_;
  FrameInfo dark_info_{};
  std::optional<CapturedFrame> dark_frame_;
};

TEST_F(MatchTiming, DarkForThreeSecondsThenTwentySevenFadeSteps) {
  const std::vector<FrameInfo>& log = h_.frame_log;
  const Surface dark(640, 480, 0x000000);
  // The cleared screen is shown at once, whatever the selection's fade left on the display,
  // and nothing else is presented during the dark pause.
  EXPECT_EQ(dark_info_.time, h_.match_started_at);
  ASSERT_TRUE(dark_frame_.has_value());
  EXPECT_TRUE(SameFrame(*dark_frame_, dark));
  EXPECT_GT(log[0].time, h_.match_started_at + 3000);
  EXPECT_LE(log[0].time, h_.match_started_at + 3000 + kWaitSlack);
  // 27 steps paced to 40 ms; the last one leaves exactly the match background.
  for (int i = 1; i <= 27; ++i) {
    EXPECT_GT(log[i].time - log[i - 1].time, 40u) << i;
    EXPECT_LE(log[i].time - log[i - 1].time, 40u + kWaitSlack) << i;
  }
  // Step 0 blends at alpha 0 and leaves the dark screen; the steps between bring the
  // background in; the last, at 255, leaves exactly the background.
  const Surface& background = h_.game().pictures.Screen;
  EXPECT_TRUE(SameFrame(first_frames_[0], dark));
  EXPECT_FALSE(SameFrame(first_frames_[3], dark));
  EXPECT_FALSE(SameFrame(first_frames_[3], background));
  EXPECT_TRUE(SameFrame(first_frames_[26], background));
}

TEST_F(MatchTiming, RoundTitleStandsTwoSecondsBeforeTheRoulette) {
  const std::vector<FrameInfo>& log = h_.frame_log;
  // After the fade: the cleared round (27), both cursors moved (28, 29), the title (30).
  ASSERT_EQ(log[30].RoundNo, 1);
  EXPECT_EQ(log[27].time, log[30].time);
  EXPECT_GT(log[31].time - log[30].time, 2000u);
  EXPECT_LE(log[31].time - log[30].time, 2000u + kWaitSlack);
  // The title frame shows the number of round 1 (colour-keyed into 150..214 x 150..249).
  int changed = 0;
  for (int y = 150; y < 250; ++y) {
    for (int x = 150; x < 215; ++x)
      changed += first_frames_[30].Pixel(x, y) != first_frames_[27].Pixel(x, y);
  }
  EXPECT_GT(changed, 300);
}

TEST_F(MatchTiming, CpuTurnBeginsTwelveHundredMsAfterItsFrameAndWalksACellPer100Ms) {
  const std::vector<FrameInfo>& log = h_.frame_log;
  int walks = 0;
  int steps = 0;
  for (std::size_t i = 2; i < log.size(); ++i) {
    if (!IsWalkStep(log[i - 1], log[i])) continue;
    ++steps;
    if (IsWalkStep(log[i - 2], log[i - 1])) {
      // The next cell 100 ms later; columns first, then rows.
      EXPECT_GT(log[i].time - log[i - 1].time, 100u) << i;
      EXPECT_LE(log[i].time - log[i - 1].time, 100u + kWaitSlack) << i;
      const bool prev_vertical = log[i - 1].enemy_y != log[i - 2].enemy_y;
      const bool vertical = log[i].enemy_y != log[i - 1].enemy_y;
      EXPECT_FALSE(prev_vertical && !vertical) << "a column step after a row step at " << i;
    } else {
      ++walks;
      const auto after_frame_start = static_cast<uint32_t>(log[i].time - log[i].FrameStart);
      EXPECT_GT(after_frame_start, 1200u) << i;
      EXPECT_LE(after_frame_start, 1200u + kWaitSlack) << i;
    }
  }
  EXPECT_GT(walks, 5);
  EXPECT_GT(steps, walks);
}

TEST_F(MatchTiming, BannerStandsTwoAndAHalfSeconds) {
  const std::vector<FrameInfo>& log = h_.frame_log;
  int banners = 0;
  for (std::size_t i = 1; i < log.size(); ++i) {
    // The next round begins with its cleared board: a frame without blocks after one with.
    if (log[i].RoundNo != log[i - 1].RoundNo || log[i].blocks != 0 || log[i - 1].blocks == 0) {
      continue;
    }
    ++banners;
    EXPECT_GT(log[i].time - log[i - 1].time, 2500u) << i;
    EXPECT_LE(log[i].time - log[i - 1].time, 2500u + kWaitSlack) << i;
  }
  EXPECT_EQ(banners, 2);  // between the three rounds
}

}  // namespace
}  // namespace rv::test
