// The logo, the title and the main menu, driven through the whole program.

#include "game/shell/title_menu.h"

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/shell/startup.h"
#include "shell_harness.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;
using rects::Picture;

constexpr int kLogoX = 245;
constexpr int kLogoY = 205;
constexpr int kLogoFrames = 54;  // 27 steps in, 27 out

int MenuY(int j) { return 240 + 49 * j; }

// The item the frame shows as selected, when exactly one is and the others are plain.
int SelectedItem(const CapturedFrame& frame, TestPictures& pics) {
  const Surface& menu = pics.Of(Picture::kMenu);
  int selected = -1;
  for (int j = 0; j < 3; ++j) {
    if (ShowsPiece(frame, 169, MenuY(j), menu, rects::kMenuItemSelected(j))) {
      if (selected != -1) return -2;
      selected = j;
    } else if (!ShowsPiece(frame, 169, MenuY(j), menu, rects::kMenuItemPlain(j))) {
      return -3;
    }
  }
  return selected;
}

bool ShowsTitle(const CapturedFrame& frame, TestPictures& pics) {
  return ShowsPiece(frame, 70, 10, pics.Of(Picture::kTitle), rects::kTitleImage);
}

uint64_t LogoBrightness(const CapturedFrame& frame) {
  uint64_t sum = 0;
  for (int y = kLogoY; y < kLogoY + 65; ++y) {
    for (int x = kLogoX; x < kLogoX + 150; ++x) {
      const uint32_t p = frame.Pixel(x, y);
      sum += (p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF);
    }
  }
  return sum;
}

bool OnlyLogoArea(const CapturedFrame& frame) {
  return AreaBlack(frame, 0, 0, 640, kLogoY) && AreaBlack(frame, 0, kLogoY + 65, 640, 480 - 270) &&
         AreaBlack(frame, 0, kLogoY, kLogoX, 65) && AreaBlack(frame, kLogoX + 150, kLogoY, 245, 65);
}

TEST(ShellLogo, DarkFadeInHoldFadeOutDarkThenTitle) {
  ShellRun run;
  run.platform.KeepAllFrames(true);
  uint32_t title_start = 0;
  run.at_config = [&](Game&) { title_start = run.Now(); };
  run.When([&] { return run.MenuShown(); }, [&] { run.Press(vk::kEscape); });
  ASSERT_EQ(run.Run(), 0);
  TestPictures pics(run.folder);
  const auto& frames = run.platform.Frames();
  ASSERT_GT(frames.size(), static_cast<size_t>(kLogoFrames));

  // 2000 ms dark first.
  EXPECT_GT(frames[0].time - title_start, 2000u);
  EXPECT_LT(frames[0].time - title_start, 2030u);
  for (int i = 0; i < kLogoFrames; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(OnlyLogoArea(frames[i]));
  }
  const Surface& logo = pics.Of(Picture::kLogo);
  EXPECT_EQ(LogoBrightness(frames[0]), 0u);
  for (int i = 1; i <= 26; ++i) EXPECT_GT(LogoBrightness(frames[i]), LogoBrightness(frames[i - 1]));
  EXPECT_TRUE(ShowsPiece(frames[26], kLogoX, kLogoY, logo, rects::kLogoImage));
  // The fade-out holds full opacity for ten steps, then falls to black.
  for (int i = 27; i <= 36; ++i) {
    EXPECT_TRUE(ShowsPiece(frames[i], kLogoX, kLogoY, logo, rects::kLogoImage)) << i;
  }
  EXPECT_FALSE(ShowsPiece(frames[37], kLogoX, kLogoY, logo, rects::kLogoImage));
  for (int i = 37; i < kLogoFrames; ++i)
    EXPECT_LT(LogoBrightness(frames[i]), LogoBrightness(frames[i - 1]));
  EXPECT_EQ(LogoBrightness(frames[kLogoFrames - 1]), 0u);

  // 40 ms steps, 3000 ms between the fades, 2000 ms dark before the title.
  for (int i = 1; i < kLogoFrames; ++i) {
    if (i == 27) continue;
    const uint32_t gap = frames[i].time - frames[i - 1].time;
    EXPECT_GE(gap, 40u) << i;
    EXPECT_LE(gap, 65u) << i;
  }
  EXPECT_GE(frames[27].time - frames[26].time, 3040u);
  EXPECT_LE(frames[27].time - frames[26].time, 3100u);
  const CapturedFrame& title = frames[kLogoFrames];
  EXPECT_TRUE(ShowsTitle(title, pics));
  EXPECT_GE(title.time - frames[kLogoFrames - 1].time, 2040u);
  EXPECT_LE(title.time - frames[kLogoFrames - 1].time, 2100u);
}

TEST(ShellLogo, EscapeDuringTheFadeEndsThroughTheShutdown) {
  ShellRun run;
  bool marker_during_fade = false;
  run.When([&] { return run.platform.FrameCount() >= 10; },
           [&] {
             marker_during_fade = fs::exists(run.folder / "rvdat.cck");
             run.Press(vk::kEscape);
           });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_TRUE(marker_during_fade);
  EXPECT_LT(run.platform.FrameCount(), 20);
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_FALSE(run.platform.WindowOpen());
  EXPECT_EQ(run.Count("music_play 1"), 0);
  EXPECT_TRUE(run.platform.Messages().empty());
}

// Presses one key (or two together) at the menu; returns the item selected afterwards.
int SelectedAfter(std::vector<int16_t> keys) {
  ShellRun run;
  int selected = -1;
  run.When([&] { return run.MenuShown(); },
           [&, keys] {
             for (int16_t k : keys) run.Press(k, 40);
           });
  run.AfterMs(400, [&] {
    TestPictures pics(run.folder);
    selected = SelectedItem(run.platform.LastFrame(), pics);
    run.Press(vk::kEscape);
  });
  EXPECT_EQ(run.Run(), 0);
  return selected;
}

TEST(ShellMainMenu, StartsOnItemZeroAndWrapsBothWays) {
  EXPECT_EQ(SelectedAfter({}), 0);
  EXPECT_EQ(SelectedAfter({vk::kUp}), 2);
  EXPECT_EQ(SelectedAfter({vk::kDown}), 1);
  EXPECT_EQ(SelectedAfter({vk::kDown, vk::kUp}), 2) << "Up is tested before Down";
}

TEST(ShellMainMenu, DownOnTheLastItemWrapsToTheFirst) {
  ShellRun run;
  TestPictures pics(run.folder);
  std::vector<int> seen;
  run.When([&] { return run.MenuShown(); }, [&] { run.Press(vk::kUp, 40); });
  run.When([&] { return run.platform.PendingEvents() == 0; }, [] {});
  // The next key comes after the move's paced wait: a key pressed and released inside
  // that wait is never seen, as the flags are only tested by the poll.
  run.When([&] { return SelectedItem(run.platform.LastFrame(), pics) == 2; },
           [&] { seen.push_back(2); });
  run.AfterMs(300, [&] { run.Press(vk::kDown, 40); });
  run.When([&] { return run.platform.PendingEvents() == 0; }, [] {});
  run.When([&] { return SelectedItem(run.platform.LastFrame(), pics) == 0; },
           [&] {
             seen.push_back(0);
             run.Press(vk::kEscape);
           });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guard_fired);
  EXPECT_EQ(seen, (std::vector<int>{2, 0}));
}

// A held key moves again after each padded 100 ms frame and the further 20 ms.
TEST(ShellMainMenu, HeldDownRepeatsAtTheMenuPace) {
  ShellRun run;
  run.platform.KeepAllFrames(true);
  size_t first_menu_frame = 0;
  run.When([&] { return run.MenuShown(); },
           [&] {
             first_menu_frame = run.platform.Frames().size();
             run.Press(vk::kDown, 600);
           });
  run.AfterMs(900, [&] { run.Press(vk::kEscape); });
  ASSERT_EQ(run.Run(), 0);
  TestPictures pics(run.folder);
  const auto& frames = run.platform.Frames();
  // Three refreshes per move, after the three items first drawn.
  std::vector<uint32_t> move_times;
  std::vector<int> selected;
  for (size_t i = first_menu_frame; i + 2 < frames.size(); i += 3) {
    move_times.push_back(frames[i].time);
    selected.push_back(SelectedItem(frames[i + 2], pics));
  }
  ASSERT_GE(move_times.size(), 4u);
  ASSERT_LE(move_times.size(), 6u);
  for (size_t k = 0; k < selected.size(); ++k)
    EXPECT_EQ(selected[k], static_cast<int>((k + 1) % 3));
  for (size_t k = 1; k < move_times.size(); ++k) {
    EXPECT_GE(move_times[k] - move_times[k - 1], 120u);
    EXPECT_LE(move_times[k] - move_times[k - 1], 150u);
  }
}

// Runs the program to its own end with status 0 and finds in the record where the title music
// stopped and, after it, the item's jingle began.
struct StopThenJingle {
  int stop;
  int jingle;
};
StopThenJingle RunAndFindTheJingle(ShellRun& run, const char* jingle_call) {
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guard_fired);
  const StopThenJingle at{run.Find("music_stop 1"), run.Find(jingle_call)};
  EXPECT_GE(at.stop, 0);
  EXPECT_GT(at.jingle, at.stop);
  return at;
}

TEST(ShellMainMenu, QuitPlaysItsJingleToTheEndAndEndsWithStatusZero) {
  ShellRun run;
  run.When([&] { return run.MenuShown(); }, [&] { run.Press(vk::kUp, 40); });
  run.AfterMs(300, [&] { run.Press(vk::kX, 40); });
  const int stop = RunAndFindTheJingle(run, "effect wave4.dat wait").stop;
  EXPECT_EQ(run.Find("effect_stop"), stop - 1) << "the effect is stopped before the music";
  EXPECT_EQ(run.Count("music_play 1"), 1);
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_FALSE(run.platform.WindowOpen());
  EXPECT_TRUE(run.platform.Messages().empty());
}

TEST(ShellMainMenu, RankingStopsTheMusicWaitsForItsJingleAndComesBackToItemZero) {
  ShellRun run;
  TestPictures pics(run.folder);
  run.platform.KeepAllFrames(true);
  run.When([&] { return run.MenuShown(); }, [&] { run.Press(vk::kDown, 40); });
  run.When([&] { return SelectedItem(run.platform.LastFrame(), pics) == 1; }, [] {});
  run.AfterMs(300, [&] { run.Press(vk::kX, 40); });
  run.When([&] { return run.Count("effect wave3.dat wait") == 1; }, [] {});
  run.AfterMs(1500, [&] { run.Press(vk::kZ, 40); });
  bool title_again = false;
  int selected_again = -1;
  run.When([&] { return run.MenuShown(2) && run.platform.PendingEvents() == 0; },
           [&] {
             title_again = ShowsTitle(run.platform.LastFrame(), pics);
             selected_again = SelectedItem(run.platform.LastFrame(), pics);
             run.Press(vk::kEscape);
           });
  const int jingle = RunAndFindTheJingle(run, "effect wave3.dat wait").jingle;
  EXPECT_LT(run.Find("music_play 1", jingle), jingle + 100);
  EXPECT_GT(run.Find("music_play 1", jingle), jingle);
  EXPECT_TRUE(title_again);
  EXPECT_EQ(selected_again, 0);
}

// From the menu into the selection, once its jingle has begun.
void ScriptIntoTheSelection(ShellRun& run) {
  run.When([&run] { return run.MenuShown(); }, [&run] { run.Press(vk::kX, 40); });
  run.When([&run] { return run.Count("effect wave2.dat wait") == 1; }, [] {});
}

// On from there to the start button, pressed: the match begins.
void ScriptIntoAMatch(ShellRun& run) {
  ScriptIntoTheSelection(run);
  for (int16_t key : {vk::kDown, vk::kDown, vk::kX}) {
    run.AfterMs(300, [&run, key] { run.Press(key, 40); });
  }
}

TEST(ShellMainMenu, CancelledSelectionReturnsToAClearedTitleWithMusic) {
  ShellRun run;
  TestPictures pics(run.folder);
  bool setup_shown = false;
  ScriptIntoTheSelection(run);
  run.AfterMs(500, [&] {
    setup_shown = ShowsPiece(run.platform.LastFrame(), 200, 30, pics.Of(Picture::kOther),
                             rects::kSetupHeader);
    run.Press(vk::kZ, 40);
  });
  bool start_button_gone = false;
  bool title_again = false;
  int selected_again = -1;
  run.When([&] { return run.MenuShown(2) && run.platform.PendingEvents() == 0; },
           [&] {
             const CapturedFrame& f = run.platform.LastFrame();
             start_button_gone = AreaBlack(f, 305, 430, 270, 35);
             title_again = ShowsTitle(f, pics);
             selected_again = SelectedItem(f, pics);
             run.Press(vk::kEscape);
           });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guard_fired);
  EXPECT_TRUE(setup_shown);
  EXPECT_TRUE(start_button_gone);
  EXPECT_TRUE(title_again);
  EXPECT_EQ(selected_again, 0);
  EXPECT_LT(run.Find("music_stop 1"), run.Find("effect wave2.dat wait"));
}

// Confirmed selection: the plain background fades in over it; Escape in the middle of that
// fade ends the program before the match begins.
TEST(ShellMainMenu, EscapeDuringTheFadeAfterTheSelectionEndsThroughTheShutdown) {
  ShellRun run;
  TestPictures pics(run.folder);
  run.platform.KeepAllFrames(true);
  ScriptIntoAMatch(run);
  size_t frames_at_start = 0;
  run.When([&] { return run.Count("effect wave1.dat nowait") == 1; },
           [&] { frames_at_start = run.platform.Frames().size(); });
  run.When([&] { return run.platform.Frames().size() >= frames_at_start + 8; },
           [&] { run.Press(vk::kEscape); });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guard_fired);
  const auto& frames = run.platform.Frames();
  ASSERT_GE(frames.size(), frames_at_start + 8);
  EXPECT_LT(frames.size(), frames_at_start + 27) << "the fade ran to its end";
  // The fade blends the background in: it is not there yet, and the selection is going.
  const CapturedFrame& mid = frames.back();
  EXPECT_FALSE(ShowsPiece(mid, 0, 0, pics.Of(Picture::kBack), rects::kPlainBackground));
  EXPECT_FALSE(ShowsPiece(mid, 200, 30, pics.Of(Picture::kOther), rects::kSetupHeader));
  EXPECT_EQ(run.Count("music_play 0"), 0) << "the match began";
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_FALSE(run.platform.WindowOpen());
}

// After the last round the match returns and the title starts again from its logo, without
// the menu being entered from inside the match.
TEST(ShellMainMenu, AFinishedMatchGoesBackToTheLogoThenTheMenu) {
  ShellRun run;
  run.guard_ms = 600000;
  run.platform.KeepAllFrames(true);
  ScriptIntoAMatch(run);
  // Through the match: X now and then, for the player's blocks and whatever waits for it,
  // until the logo shows again.
  uint32_t next_x = 0;
  size_t logo_from = 0;
  run.When(
      [&] {
        const CapturedFrame& f = run.platform.LastFrame();
        if (run.Count("music_play 0") > 0 && OnlyLogoArea(f) && LogoBrightness(f) > 0) {
          logo_from = run.platform.Frames().size() - 2;  // the first step is still black
          return true;
        }
        if (static_cast<int32_t>(run.Now() - next_x) >= 0) {
          run.Press(vk::kX, 40);
          next_x = run.Now() + 300;
        }
        return false;
      },
      [] {});
  run.When([&] { return run.MenuShown(2) && run.platform.PendingEvents() == 0; },
           [&] { run.Press(vk::kEscape); });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guard_fired);
  ASSERT_GT(logo_from, 0u);
  TestPictures pics(run.folder);
  const auto& frames = run.platform.Frames();
  ASSERT_GE(frames.size(), logo_from + kLogoFrames + 1);
  EXPECT_EQ(LogoBrightness(frames[logo_from]), 0u);
  for (size_t i = logo_from; i < logo_from + kLogoFrames; ++i) EXPECT_TRUE(OnlyLogoArea(frames[i]));
  EXPECT_TRUE(ShowsTitle(frames[logo_from + kLogoFrames], pics));
  EXPECT_EQ(run.Count("music_play 1"), 2);
  EXPECT_TRUE(run.platform.Messages().empty());
}

}  // namespace
}  // namespace rv::test
