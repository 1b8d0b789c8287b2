// The display's refresh with its cursor shapes, and the full-screen fade.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/gfx/blit.h"
#include "game/gfx/fade.h"
#include "test_support.h"

namespace rv {

namespace {

class NullSink : public EventSink {
 public:
  void OnKeyDown(int16_t) override {}
  void OnKeyUp(int16_t) override {}
  void OnClose() override {}
  void OnMusicDone(int) override {}
};

uint32_t FramePixel(const std::vector<uint32_t>& frame, int x, int y) {
  return frame[static_cast<size_t>(y) * 640 + x];
}

class DisplayTest : public ::testing::Test {
 protected:
  test::RecordingPlatform platform;
  Display display{platform};
};

TEST_F(DisplayTest, GameScreenStartsBlackAndRefreshPresentsIt) {
  ASSERT_EQ(display.GameScreen.width(), 640);
  ASSERT_EQ(display.GameScreen.height(), 480);
  display.Refresh();
  ASSERT_EQ(platform.frames.size(), 1u);
  for (uint32_t p : platform.frames[0]) ASSERT_EQ(p, 0u);
  display.GameScreen.SetPixel(639, 479, 0x123456);
  display.GameScreen.SetPixel(0, 0, 0xABCDEF);
  display.Refresh();
  EXPECT_EQ(FramePixel(platform.frames[1], 639, 479), 0x123456u);
  EXPECT_EQ(FramePixel(platform.frames[1], 0, 0), 0xABCDEFu);
  display.Clear();
  EXPECT_EQ(display.GameScreen.Pixel(0, 0), 0u);
  EXPECT_EQ(platform.frames.size(), 2u);  // clearing alone shows nothing yet
}

TEST_F(DisplayTest, ShapesAreOutlinesOverTheScreenAndRepaintAtOnce) {
  display.GameScreen = test::PatternSurface(640, 480, 21);
  display.CharaCursor.Move(160, 320);
  EXPECT_EQ(platform.frames.size(), 1u);
  // Hidden: the frame is the screen alone.
  EXPECT_EQ(platform.frames.back(), std::vector<uint32_t>(display.GameScreen.data(),
                                                          display.GameScreen.data() + 640 * 480));
  display.CharaCursor.Show();
  ASSERT_EQ(platform.frames.size(), 2u);
  const auto& f = platform.frames.back();
  for (int y = 300; y < 350; ++y) {
    for (int x = 140; x < 190; ++x) {
      int i = x - 160, j = y - 320;
      bool inside = i >= 0 && j >= 0 && i < 16 && j < 16;
      const int ring = std::min({i, j, 15 - i, 15 - j});
      uint32_t want = !inside || ring >= CursorShape::kBorder + CursorShape::kLine
                          ? display.GameScreen.Pixel(x, y)
                      : ring < CursorShape::kBorder ? Display::kCharaColor
                                                    : Display::kCharaLine;
      ASSERT_EQ(FramePixel(f, x, y), want) << x << "," << y;
    }
  }
  // The shapes never draw into the game screen itself.
  EXPECT_NE(display.GameScreen.Pixel(160, 320), Display::kCharaColor);
  display.CharaCursor.Hide();
  EXPECT_EQ(platform.frames.size(), 3u);
  EXPECT_EQ(FramePixel(platform.frames.back(), 160, 320), display.GameScreen.Pixel(160, 320));
}

TEST_F(DisplayTest, PlayersShapeIsDrawnOverTheCpusAndEdgesClip) {
  display.EnemyCursor.Move(32, 32);
  display.EnemyCursor.Show();
  display.CharaCursor.Move(32, 32);
  display.CharaCursor.Show();
  EXPECT_EQ(FramePixel(platform.frames.back(), 32, 32), Display::kCharaColor);
  display.CharaCursor.Move(40, 32);
  EXPECT_EQ(FramePixel(platform.frames.back(), 32, 32), Display::kEnemyColor);
  EXPECT_EQ(FramePixel(platform.frames.back(), 40, 40), Display::kCharaColor);
  // Half off the screen on every side: only what is on the screen is drawn.
  display.EnemyCursor.Move(-8, -8);
  EXPECT_EQ(FramePixel(platform.frames.back(), 7, 0), Display::kEnemyColor);
  EXPECT_EQ(FramePixel(platform.frames.back(), 0, 7), Display::kEnemyColor);
  display.EnemyCursor.Move(632, 472);
  EXPECT_EQ(FramePixel(platform.frames.back(), 635, 479), 0u);
  EXPECT_EQ(FramePixel(platform.frames.back(), 632, 479), Display::kEnemyColor);
  EXPECT_EQ(FramePixel(platform.frames.back(), 632, 472), Display::kEnemyColor);
  display.EnemyCursor.Move(5000, -5000);
  EXPECT_FALSE(platform.frames.empty());
}

class FadeTest : public ::testing::Test {
 protected:
  FadeTest() {
    pictures.Screen = test::PatternSurface(640, 480, 31);
    pictures.PicBack = test::PatternSurface(640, 480, 32);
    display.GameScreen = test::PatternSurface(640, 480, 33);
    platform.present_cost_ms = 3;
  }
  test::RecordingPlatform platform;
  NullSink sink;
  EventLoop loop{platform, sink};
  Display display{platform};
  PictureSet pictures;
  BlendState blend;
  FrameStamps stamps;
  FadeContext context{display, pictures, blend, loop, stamps};
};

TEST_F(FadeTest, KindOneEndsOnAnExactCopyOfTheBackground) {
  FadeScreen(context, 1);
  ASSERT_EQ(platform.frames.size(), 27u);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(display.GameScreen.Pixel(x, y), pictures.PicBack.Pixel(x, y));
    }
  }
  EXPECT_EQ(blend.Alpha, 255);
  EXPECT_EQ(blend.BlendArg, 255 * 65536);
}

TEST_F(FadeTest, EachStepBlendsAgainOverThePreviousOne) {
  const Surface start = display.GameScreen;
  FadeScreen(context, 0);
  ASSERT_EQ(platform.frames.size(), 27u);
  std::vector<uint32_t> previous(start.data(), start.data() + 640 * 480);
  for (int step = 0; step < 27; ++step) {
    const uint32_t alpha = step == 26 ? 255 : 10 * step;
    const auto& frame = platform.frames[step];
    for (int k = 0; k < 640 * 480; k += 997) {  // a spread of pixels over the whole screen
      uint32_t src = pictures.Screen.data()[k];
      ASSERT_EQ(frame[k], BlendPixel(src, previous[k], alpha)) << "step " << step;
    }
    previous = frame;
  }
  // Step 0 is fully transparent: the screen as it was.
  EXPECT_EQ(platform.frames[0], std::vector<uint32_t>(start.data(), start.data() + 640 * 480));
}

TEST_F(FadeTest, StepsArePacedTo40MillisecondsByTheFrameStamps) {
  FadeScreen(context, 1);
  ASSERT_EQ(platform.present_times.size(), 27u);
  // Each step waits out the rest of its 40 ms after the present's own cost: the next frame
  // comes at least 40 ms later, and no later than one 20 ms sleep (and its 1 ms pass) after.
  for (std::size_t i = 1; i < platform.present_times.size(); ++i) {
    const uint32_t gap = platform.present_times[i] - platform.present_times[i - 1];
    EXPECT_GE(gap, 40u) << "step " << i;
    EXPECT_LE(gap, 40u + 21u) << "step " << i;
  }
  EXPECT_EQ(stamps.FrameEnd - stamps.FrameStart, static_cast<int32_t>(platform.present_cost_ms));
}

TEST_F(FadeTest, OtherKindsDrawNothingAndReturnAtOnce) {
  const Surface before = display.GameScreen;
  SetAlpha(blend, 77);
  for (int16_t kind : {2, -1, 100}) FadeScreen(context, kind);
  EXPECT_TRUE(platform.frames.empty());
  EXPECT_EQ(platform.now, 0u);  // not one wait
  EXPECT_EQ(blend.Alpha, 77);
  EXPECT_EQ(
      std::vector<uint32_t>(before.data(), before.data() + 640 * 480),
      std::vector<uint32_t>(display.GameScreen.data(), display.GameScreen.data() + 640 * 480));
}

TEST_F(FadeTest, AnEmptySourceLeavesTheScreenAsItWas) {
  pictures.PicBack = Surface();
  const Surface before = display.GameScreen;
  FadeScreen(context, 1);
  EXPECT_EQ(platform.frames.size(), 27u);
  EXPECT_EQ(display.GameScreen.Pixel(320, 240), before.Pixel(320, 240));
}

}  // namespace
}  // namespace rv
