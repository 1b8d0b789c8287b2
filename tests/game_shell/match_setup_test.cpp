// The pre-match selection screen, called directly with scripted keys, and Escape on it
// through the whole program.

#include "game/shell/match_setup.h"

#include <gtest/gtest.h>

#include "game/game.h"
#include "shell_harness.h"
#include "start/language_choice.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;
using rects::Picture;

// A game whose interface sheet is loaded, with keys pressed one by one 300 ms apart.
class ShellSetupScreen : public ::testing::Test {
 protected:
  ShellSetupScreen() {
    FillProgramFolder(temp.path(), RV_DIST_DIR);
    pics = std::make_unique<TestPictures>(temp.path());
    platform.SetProgramFolder(temp.path());
    platform.KeepAllFrames(true);
    game = std::make_unique<Game>(platform, rng, Language::Japanese());
    game->loader.LoadSurface(game->pictures, static_cast<int16_t>(Picture::kOther), "pic7");
  }

  // Each key is pressed for 30 ms; the keys follow each other 300 ms apart.
  void Keys(std::vector<int16_t> keys) {
    uint32_t at = platform.clock().Now() + 300;
    for (int16_t k : keys) {
      platform.ScheduleKeyPress(at, k, 30);
      at += 300;
    }
  }

  int16_t Run() { return MatchSetup(*game); }

  const Surface& Sheet() { return pics->Of(Picture::kOther); }
  bool Shows(const CapturedFrame& f, int x, int y, const rects::Rect& r) {
    return ShowsPiece(f, x, y, Sheet(), r);
  }
  // The values drawn after the arrows cover the left arrow's last columns (the name from
  // x = 230, the digit from x = 236), so only its first 30 columns are compared.
  static constexpr rects::Rect LeftArrowSeen() {
    rects::Rect r = rects::kLeftArrow;
    r.w = 30;
    return r;
  }
  bool LeftArrowAt(const CapturedFrame& f, int y) { return Shows(f, 200, y, LeftArrowSeen()); }
  bool RightArrowAt(const CapturedFrame& f, int y) {
    return Shows(f, 300, y + 5, rects::kRightArrow);
  }
  bool NoArrowAt(const CapturedFrame& f, int y) {
    return AreaBlack(f, 200, y, 30, 40) && AreaBlack(f, 300, y + 5, 40, 40);
  }
  const std::vector<CapturedFrame>& Frames() { return platform.Frames(); }

  TempFolder temp;
  HeadlessPlatform platform;
  SeededRandom rng{5};
  std::unique_ptr<Game> game;
  std::unique_ptr<TestPictures> pics;
};

TEST_F(ShellSetupScreen, FirstScreenShowsEveryPieceInPlace) {
  // The part of each arrow compared below is not black, so "shown" and "hidden" differ.
  CapturedFrame black;
  black.width = 640;
  black.height = 480;
  black.pixels.assign(640 * 480, 0);
  ASSERT_FALSE(Shows(black, 0, 0, LeftArrowSeen()));
  ASSERT_FALSE(Shows(black, 0, 0, rects::kRightArrow));
  Keys({vk::kZ});
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(Frames().size(), 1u);
  const CapturedFrame& f = Frames()[0];
  EXPECT_TRUE(Shows(f, 200, 30, rects::kSetupHeader));
  EXPECT_TRUE(Shows(f, 50, 90, rects::kDifficultyLabelSelected));
  EXPECT_TRUE(Shows(f, 230, 90, rects::kDifficultyName[0]));
  EXPECT_TRUE(Shows(f, 50, 140, rects::kRoundsLabel));
  EXPECT_TRUE(Shows(f, 236, 140, rects::kSetupRoundsDigit(1)));
  EXPECT_TRUE(Shows(f, 265, 140, rects::kRoundsUnit));
  EXPECT_TRUE(Shows(f, 305, 430, rects::kStartButton));
  EXPECT_TRUE(AreaBlack(f, 200, 85, 30, 40)) << "no left arrow at difficulty 0";
  EXPECT_TRUE(RightArrowAt(f, 85));
  EXPECT_TRUE(AreaBlack(f, 0, 0, 640, 30));
}

TEST_F(ShellSetupScreen, DifficultyArrowsFollowTheValueAndClampAtBothEnds) {
  Keys({vk::kLeft, vk::kRight, vk::kRight, vk::kRight, vk::kZ});
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(Frames().size(), 5u) << "every arrow key redraws, even at a limit";
  const std::vector<int> modes = {0, 0, 1, 2, 2};
  for (size_t i = 0; i < modes.size(); ++i) {
    SCOPED_TRACE(i);
    const CapturedFrame& f = Frames()[i];
    EXPECT_TRUE(Shows(f, 230, 90, rects::kDifficultyName[static_cast<size_t>(modes[i])]));
    EXPECT_EQ(LeftArrowAt(f, 85), modes[i] > 0);
    EXPECT_EQ(RightArrowAt(f, 85), modes[i] < 2);
    EXPECT_TRUE(NoArrowAt(f, 133)) << "arrows only on the row under the cursor";
  }
  EXPECT_EQ(game->match.GameMode, 2);
  EXPECT_EQ(game->match.RoundCount, 1);
}

TEST_F(ShellSetupScreen, RoundCountWalksOddValuesAndClamps) {
  Keys({vk::kDown, vk::kLeft, vk::kRight, vk::kRight, vk::kRight, vk::kRight, vk::kRight, vk::kLeft,
        vk::kZ});
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(Frames().size(), 9u);
  const std::vector<int> counts = {1, 1, 1, 3, 5, 7, 9, 9, 7};
  for (size_t i = 1; i < counts.size(); ++i) {
    SCOPED_TRACE(i);
    const CapturedFrame& f = Frames()[i];
    EXPECT_TRUE(Shows(f, 236, 140, rects::kSetupRoundsDigit(counts[i])));
    EXPECT_TRUE(Shows(f, 50, 140, rects::kRoundsLabelSelected));
    EXPECT_TRUE(Shows(f, 50, 90, rects::kDifficultyLabel));
    EXPECT_EQ(LeftArrowAt(f, 133), counts[i] > 1);
    EXPECT_EQ(RightArrowAt(f, 133), counts[i] < 9);
    EXPECT_TRUE(NoArrowAt(f, 85));
  }
  EXPECT_EQ(game->match.RoundCount, 7);
  EXPECT_EQ(game->match.GameMode, 0);
}

// English counts have no unit word ("Rounds 3"): the right arrow stands beside the digit.
TEST_F(ShellSetupScreen, WithoutAUnitWordTheRoundsArrowStandsBesideTheDigit) {
  game->language = LoadLanguage(temp.path(), "en").language;
  Keys({vk::kDown, vk::kRight, vk::kRight, vk::kRight, vk::kRight, vk::kZ});
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(Frames().size(), 6u);
  EXPECT_TRUE(Shows(Frames()[1], 265, 138, rects::kRightArrow));
  EXPECT_TRUE(AreaBlack(Frames()[1], 300, 150, 40, 20));
  // At 9 the arrow is gone again.
  EXPECT_TRUE(AreaBlack(Frames()[5], 266, 138, 30, 30));
}

TEST_F(ShellSetupScreen, HeldRightWalksTheRoundsAboutEveryHundredMilliseconds) {
  platform.ScheduleKeyPress(300, vk::kDown, 30);
  platform.ScheduleKeyPress(700, vk::kRight, 1000);
  platform.ScheduleKeyPress(2000, vk::kZ, 30);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(game->match.RoundCount, 9);
  EXPECT_EQ(game->match.RoundCount % 2, 1);
  // One redraw per pass while held: the pace is the 100 ms pause plus the poll.
  std::vector<uint32_t> times;
  for (const auto& f : Frames()) {
    if (f.time >= 700 && f.time < 1700) times.push_back(f.time);
  }
  ASSERT_GE(times.size(), 7u);
  ASSERT_LE(times.size(), 10u);
  for (size_t k = 1; k < times.size(); ++k) {
    EXPECT_GE(times[k] - times[k - 1], 100u);
    EXPECT_LE(times[k] - times[k - 1], 130u);
  }
}

TEST_F(ShellSetupScreen, XOnTheValueRowsDoesNothing) {
  Keys({vk::kX, vk::kDown, vk::kX, vk::kZ});
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Frames().size(), 2u) << "X redrew the screen";
  auto& audio = dynamic_cast<HeadlessAudio&>(platform.audio());
  EXPECT_TRUE(audio.records().empty());
}

TEST_F(ShellSetupScreen, XOnTheStartRowPlaysThePlacingSoundAndStarts) {
  Keys({vk::kRight, vk::kDown, vk::kRight, vk::kRight, vk::kDown, vk::kDown, vk::kLeft, vk::kX});
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(game->match.GameMode, 1);
  EXPECT_EQ(game->match.RoundCount, 5);
  const CapturedFrame& last = Frames().back();
  EXPECT_TRUE(Shows(last, 305, 430, rects::kStartButtonSelected));
  EXPECT_TRUE(NoArrowAt(last, 85));
  EXPECT_TRUE(NoArrowAt(last, 133));
  EXPECT_TRUE(Shows(last, 50, 90, rects::kDifficultyLabel));
  EXPECT_TRUE(Shows(last, 50, 140, rects::kRoundsLabel));
  auto& audio = dynamic_cast<HeadlessAudio&>(platform.audio());
  ASSERT_EQ(audio.records().size(), 2u);
  EXPECT_EQ(audio.records()[0].text, "effect_stop");
  EXPECT_EQ(audio.records()[1].text, "effect wave1.dat nowait");
}

TEST_F(ShellSetupScreen, ZKeepsTheValuesChosenAndTheNextVisitStartsAfresh) {
  Keys({vk::kRight, vk::kDown, vk::kRight, vk::kRight, vk::kZ});
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(game->match.GameMode, 1);
  EXPECT_EQ(game->match.RoundCount, 5);
  Keys({vk::kZ});
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(game->match.GameMode, 0);
  EXPECT_EQ(game->match.RoundCount, 1);
}

TEST_F(ShellSetupScreen, UpAndDownHeldTogetherMoveUp) {
  Keys({vk::kDown});
  platform.ScheduleKeyDown(700, vk::kDown);
  platform.ScheduleKeyDown(700, vk::kUp);
  platform.ScheduleKeyUp(730, vk::kDown);
  platform.ScheduleKeyUp(730, vk::kUp);
  platform.ScheduleKeyPress(1000, vk::kZ, 30);
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(Frames().size(), 3u);
  EXPECT_TRUE(Shows(Frames()[1], 50, 140, rects::kRoundsLabelSelected));
  EXPECT_TRUE(Shows(Frames()[2], 50, 90, rects::kDifficultyLabelSelected));
}

TEST_F(ShellSetupScreen, UpAtTheTopAndDownAtTheBottomStay) {
  Keys({vk::kUp, vk::kDown, vk::kDown, vk::kDown, vk::kZ});
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(Frames().size(), 5u);
  EXPECT_TRUE(Shows(Frames()[1], 50, 90, rects::kDifficultyLabelSelected));
  EXPECT_TRUE(Shows(Frames()[4], 305, 430, rects::kStartButtonSelected));
  EXPECT_TRUE(Shows(Frames()[3], 305, 430, rects::kStartButtonSelected));
}

TEST(ShellSetupThroughTheProgram, EscapeOnTheSelectionEndsThroughTheShutdown) {
  ShellRun run;
  TestPictures pics(run.folder);
  bool setup_shown = false;
  run.When([&] { return run.MenuShown(); }, [&] { run.Press(vk::kX, 40); });
  run.When([&] { return run.Count("effect wave2.dat wait") == 1; }, [] {});
  run.AfterMs(400, [&] {
    setup_shown = ShowsPiece(run.platform.LastFrame(), 200, 30, pics.Of(Picture::kOther),
                             rects::kSetupHeader);
    run.Press(vk::kEscape);
  });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guard_fired);
  EXPECT_TRUE(setup_shown);
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_FALSE(run.platform.WindowOpen());
  EXPECT_TRUE(run.platform.Messages().empty());
}

}  // namespace
}  // namespace rv::test
