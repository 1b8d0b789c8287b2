// A match that lasts more than 100 minutes: its results show every minute of the battle
// time, inside the panel.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/gfx/text.h"
#include "game/match/match_results.h"
#include "match_harness.h"

namespace rv::test {
namespace {

constexpr uint32_t kIdleMs = 101u * 60u * 1000u;

// The player stops the roulette, then walks away from the board for 101 minutes (the
// virtual clock jumps in one sleep) and comes back holding X, which drops a block at once
// in each of its turns.
void PlayASlowRound(MatchHarness& h) {
  bool roulette_stopped = false;
  bool away = false;
  h.UseDriver([&h, roulette_stopped, away](HeadlessPlatform& p) mutable {
    const MatchState& m = h.game().match;
    if (!roulette_stopped && m.RoundNo == 1) {
      roulette_stopped = true;
      p.ScheduleKeyPress(p.Now() + 2500, vk::kX, 50);
    }
    if (!h.InPlay() || m.CharaTurn != -1) return;
    if (!away) {
      away = true;
      p.Sleep(static_cast<int>(kIdleMs));
    }
    if (h.game().keys.Key_X == 0) p.PressKey(vk::kX);
  });
}

// The battle time as a player reads it: minutes in full, then seconds and hundredths.
std::string ExpectedTime(int32_t total_ms) {
  const int hundredths = total_ms / 10;
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", hundredths / 6000, hundredths / 100 % 60,
                hundredths % 100);
  return text;
}

TEST(LongMatch, BattleTimeOfOverAHundredMinutesShowsEveryMinuteInsideThePanel) {
  MatchHarness h(5);
  PlayASlowRound(h);
  ASSERT_EQ(h.Play(0, 1), std::nullopt);
  Game& game = h.game();
  ASSERT_GE(game.totals.TotalTime, 100 * 60 * 1000);
  const std::string time = ExpectedTime(game.totals.TotalTime);
  ASSERT_EQ(time.size(), 9u) << time;  // "100:..:.."

  // From the end: 27 fade steps, the two cursors hidden, the results, the finished panel.
  const std::deque<CapturedFrame>& f = h.end_frames;
  ASSERT_GE(f.size(), 31u);
  const CapturedFrame& panel = f[f.size() - 31];
  const CapturedFrame& results = f[f.size() - 30];

  // Only the time in yellow at its place, over the finished panel: the band of the time
  // row right of its label is the panel with this text printed on it, nothing else.
  Surface expected(640, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) expected.SetPixel(x, y, panel.Pixel(x, y));
  }
  const int width = game.text->TextWidth(game.display.GameScreen.text(), time);
  const int x = BattleTimeX(width);
  EXPECT_LE(x + width, 439);
  DrawColorText(*game.text, expected, static_cast<int16_t>(x), 160, 255, 255, 0, time, 0);
  // The cursor shapes are drawn over the screen; their squares are left out.
  auto under_cursor = [&](int px, int py) {
    for (const CursorShape* c : {&game.display.CharaCursor, &game.display.EnemyCursor}) {
      if (px >= c->X() && px < c->X() + 16 && py >= c->Y() && py < c->Y() + 16) return true;
    }
    return false;
  };
  int yellow = 0;
  for (int py = 150; py < 190; ++py) {
    for (int px = 330; px < 480; ++px) {
      if (under_cursor(px, py)) continue;
      ASSERT_EQ(results.Pixel(px, py), expected.Pixel(px, py)) << px << "," << py;
      const uint32_t c = results.Pixel(px, py);
      yellow += (c >> 16) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) < 100;
      // Nothing of the text right of the panel.
      if (px > 439) {
        ASSERT_EQ(results.Pixel(px, py), panel.Pixel(px, py)) << px << "," << py;
      }
    }
  }
  EXPECT_GT(yellow, 60);
  if (const char* dir = std::getenv("RV_TEST_FRAMES_DIR")) {
    SavePng(results, std::filesystem::path(dir) / "long_match_results.png");
  }
}

}  // namespace
}  // namespace rv::test
