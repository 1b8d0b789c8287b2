// Opens the game's window on whatever display there is, shows a test picture and reports
// on standard output what it saw, for the window test under Xvfb. Exit status 0 when X and
// then Escape arrived through the key handlers.
//
// The picture: quadrants red, green, blue, white; a magenta pixel in the bottom-right corner
// and a yellow one in the top-left corner, to find the letterbox edges on the screen.

#include <cstdio>
#include <vector>

#include "game/pace/event_loop.h"
#include "game/pace/keys.h"
#include "platform/sdl/sdl_platform.h"

namespace {

class ProbeSink : public rv::EventSink {
 public:
  void OnKeyDown(int16_t key_code) override {
    std::printf("DOWN %d\n", key_code);
    if (rv::Form_KeyDown(keys, key_code) == rv::KeyAction::kEscape) {
      std::printf("ESCAPE with KEY_X %d\n", saw_x ? 1 : 0);
      std::fflush(stdout);
      throw rv::ProgramExit{saw_x ? 0 : 2};
    }
    if (keys.Key_X == 1) saw_x = true;
    std::fflush(stdout);
  }
  void OnKeyUp(int16_t key_code) override {
    rv::Form_KeyUp(keys, key_code);
    std::printf("UP %d KEY_X %d\n", key_code, keys.Key_X);
    std::fflush(stdout);
  }
  void OnClose() override { throw rv::ProgramExit{4}; }
  void OnMusicDone(int) override {}

  rv::Keys keys;
  bool saw_x = false;
};

std::vector<uint32_t> TestPicture() {
  std::vector<uint32_t> pixels(640 * 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const bool right = x >= 320;
      const bool bottom = y >= 240;
      pixels[y * 640 + x] = bottom ? (right ? 0xFFFFFF : 0x0000FF) : (right ? 0x00FF00 : 0xFF0000);
    }
  }
  pixels[0] = 0xFFFF00;
  pixels[479 * 640 + 639] = 0xFF00FF;
  return pixels;
}

int Run() {
  rv::SdlPlatform platform;
  if (!platform.OpenWindow("Ravolin probe")) {
    std::printf("NO WINDOW\n");
    return 5;
  }
  ProbeSink sink;
  rv::EventLoop loop(platform, sink);
  const std::vector<uint32_t> picture = TestPicture();
  // The window manager's (or X server's) resize to full screen may come after the first
  // frame; present again once it has settled.
  for (int i = 0; i < 3; ++i) {
    platform.Present(rv::FrameView{picture.data(), 640, 480});
    loop.WaitMs(100);
  }
  const rv::SdlWindowReport r = platform.DescribeWindow();
  std::printf(
      "READY window %dx%d output %dx%d desktop %dx%d borderless %d on_top %d "
      "fullscreen %d cursor_hidden %d renderer %s\n",
      r.window_width, r.window_height, r.output_width, r.output_height, r.desktop_width,
      r.desktop_height, r.borderless, r.always_on_top, r.fullscreen_desktop, r.cursor_hidden,
      r.renderer.c_str());
  std::fflush(stdout);
  const int32_t start = loop.Now();
  while (loop.Now() - start < 20000) loop.WaitMs(20);
  std::printf("TIMEOUT\n");
  return 3;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (const rv::ProgramExit& exit) {
    return exit.status;
  }
}
