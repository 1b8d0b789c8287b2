// The game's window outside full-screen: the whole-number scale and the centred place.
#include "platform/sdl/window_scale.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

TEST(WindowScale, LargestWholeScaleThatFits) {
  struct Case {
    int room_w, room_h, scale;
  };
  const Case cases[] = {
      {640, 480, 1},   {1279, 1024, 1}, {1280, 960, 2},  {1280, 1024, 2}, {1600, 1200, 2},
      {1920, 1080, 2}, {1920, 1440, 3}, {2560, 1440, 3}, {3840, 2160, 4}, {1919, 1440, 2},
      {1920, 1439, 2}, {639, 479, 1},   {320, 200, 1},   {0, 0, 1},       {-5, 100, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WholeScale(c.room_w, c.room_h, 640, 480), c.scale) << c.room_w << "x" << c.room_h;
  }
}

TEST(WindowScale, WindowIsCentredOnTheUsableArea) {
  struct Case {
    WindowRect usable;
    WindowFrame frame;
    WindowRect client;
  };
  const Case cases[] = {
      // 2x on a 1600 x 1200 screen without a window manager.
      {{0, 0, 1600, 1200}, {}, {160, 120, 1280, 960}},
      // A panel of 40 along the top leaves 1160: still 2x, centred below the panel.
      {{0, 40, 1600, 1160}, {}, {160, 140, 1280, 960}},
      // The frame counts: 1920 x 1440 holds 3x bare, but not with a title bar.
      {{0, 0, 1920, 1440}, {}, {0, 0, 1920, 1440}},
      {{0, 0, 1920, 1440}, {2, 2, 30, 2}, {320, 254, 1280, 960}},
      // A second display to the right.
      {{1920, 0, 1280, 1024}, {}, {1920, 32, 1280, 960}},
      // Smaller than the picture: 1x at the area's corner, frame inside the area.
      {{0, 0, 600, 400}, {1, 1, 20, 1}, {1, 20, 640, 480}},
      {{10, 10, 640, 480}, {}, {10, 10, 640, 480}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaledWindow(c.usable, c.frame, 640, 480), c.client)
        << c.usable.x << "," << c.usable.y << " " << c.usable.w << "x" << c.usable.h;
  }
}

}  // namespace
}  // namespace rv
