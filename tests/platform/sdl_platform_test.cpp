// The SDL platform without a display server: SDL's dummy video and audio drivers.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

#include "platform/sdl/renderer_choice.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_keys.h"
#include "recording_sink.h"

namespace rv {
namespace {

TEST(SdlKeyTable, GameKeysMapToTheirCodes) {
  EXPECT_EQ(MapSdlKey(SDLK_UP), vk::kUp);
  EXPECT_EQ(MapSdlKey(SDLK_DOWN), vk::kDown);
  EXPECT_EQ(MapSdlKey(SDLK_LEFT), vk::kLeft);
  EXPECT_EQ(MapSdlKey(SDLK_RIGHT), vk::kRight);
  EXPECT_EQ(MapSdlKey(SDLK_x), vk::kX);
  EXPECT_EQ(MapSdlKey(SDLK_z), vk::kZ);
  EXPECT_EQ(MapSdlKey(SDLK_ESCAPE), vk::kEscape);
}

TEST(SdlKeyTable, TwoPhysicalKeysShareACode) {
  EXPECT_EQ(MapSdlKey(SDLK_RETURN), 13);
  EXPECT_EQ(MapSdlKey(SDLK_KP_ENTER), 13);
  EXPECT_EQ(MapSdlKey(SDLK_LSHIFT), 16);
  EXPECT_EQ(MapSdlKey(SDLK_RSHIFT), 16);
}

TEST(SdlKeyTable, OtherKeysMapToNothing) {
  for (SDL_Keycode key : {SDLK_a, SDLK_y, SDLK_SPACE, SDLK_LCTRL, SDLK_RCTRL, SDLK_KP_8, SDLK_KP_4,
                          SDLK_F1, SDLK_BACKSPACE, SDLK_TAB, SDLK_UNKNOWN}) {
    EXPECT_EQ(MapSdlKey(key), 0) << key;
  }
  // Upper-case symbols never come from SDL, and must not alias the virtual-key numbers.
  EXPECT_EQ(MapSdlKey('X'), 0);
  EXPECT_EQ(MapSdlKey('Z'), 0);
}

TEST(RendererChoice, SoftwareRasterisersAreRecognised) {
  EXPECT_TRUE(IsSoftwareGlRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
  EXPECT_TRUE(IsSoftwareGlRenderer("Software Rasterizer"));
  EXPECT_TRUE(IsSoftwareGlRenderer("softpipe"));
  EXPECT_TRUE(IsSoftwareGlRenderer("Mesa swrast"));
  EXPECT_TRUE(IsSoftwareGlRenderer("Google SwiftShader"));
  EXPECT_FALSE(IsSoftwareGlRenderer("NVIDIA GeForce RTX 3060/PCIe/SSE2"));
  EXPECT_FALSE(IsSoftwareGlRenderer("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"));
  EXPECT_FALSE(IsSoftwareGlRenderer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
}

TEST(RendererChoice, AcceleratedOnlyWithRealHardware) {
  EXPECT_EQ(ChooseRenderer({false, ""}), RendererKind::kSoftware);
  // No device: even a renderer string that looks like hardware is not trusted.
  EXPECT_EQ(ChooseRenderer({false, "NVIDIA GeForce RTX 3060"}), RendererKind::kSoftware);
  EXPECT_EQ(ChooseRenderer({true, ""}), RendererKind::kSoftware);  // the probe failed
  EXPECT_EQ(ChooseRenderer({true, "llvmpipe (LLVM 15.0.6, 256 bits)"}), RendererKind::kSoftware);
  EXPECT_EQ(ChooseRenderer({true, "NVIDIA GeForce RTX 3060"}), RendererKind::kAccelerated);
}

TEST(RendererChoice, GpuDevicesAreFoundByTheirNodes) {
  namespace fs = std::filesystem;
  const fs::path dev = fs::temp_directory_path() / "rv_platform_fake_dev";
  fs::remove_all(dev);
  fs::create_directories(dev / "dri");
  std::ofstream(dev / "dri" / "card0").put('x');
  EXPECT_FALSE(HasGpuDevice(dev.string()));  // a card node alone is display only
  std::ofstream(dev / "dri" / "renderD128").put('x');
  EXPECT_TRUE(HasGpuDevice(dev.string()));
  fs::remove_all(dev / "dri");
  EXPECT_FALSE(HasGpuDevice(dev.string()));
  std::ofstream(dev / "nvidia0").put('x');
  EXPECT_TRUE(HasGpuDevice(dev.string()));
  fs::remove_all(dev);
  EXPECT_FALSE(HasGpuDevice((dev / "missing").string()));
}

class CountingSink : public EventSink {
 public:
  void OnKeyDown(int16_t key_code) override { downs.push_back(key_code); }
  void OnKeyUp(int16_t key_code) override { ups.push_back(key_code); }
  void OnClose() override { ++closes; }
  void OnMusicDone(int player) override { music.push_back(player); }
  std::vector<int16_t> downs, ups;
  std::vector<int> music;
  int closes = 0;
};

class SdlPlatformDummyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
};

void PushKey(Uint32 type, SDL_Keycode sym, bool repeat = false) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym.sym = sym;
  event.key.repeat = repeat ? 1 : 0;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

TEST_F(SdlPlatformDummyTest, WindowCoversTheDesktopWithoutCursor) {
  SdlPlatform platform;
  ASSERT_TRUE(platform.OpenWindow("Ravolin Ver 0.31"));
  const SdlWindowReport report = platform.DescribeWindow();
  EXPECT_TRUE(report.borderless);
  EXPECT_TRUE(report.fullscreen_desktop);
  EXPECT_TRUE(report.cursor_hidden);
  EXPECT_EQ(report.renderer, "software");
  std::vector<uint32_t> pixels(640 * 480, 0x336699);
  platform.Present(FrameView{pixels.data(), 640, 480});
  platform.Present(FrameView{nullptr, 640, 480});  // ignored, no crash
  std::vector<uint32_t> small(320 * 240, 0x996633);
  platform.Present(FrameView{small.data(), 320, 240});  // another size: a texture of its own
  platform.Present(FrameView{pixels.data(), 640, 480});
  EXPECT_TRUE(platform.DescribeWindow().cursor_hidden);
  platform.CloseWindow();
  platform.CloseWindow();
  EXPECT_EQ(platform.DescribeWindow().window_width, 0);
}

TEST_F(SdlPlatformDummyTest, NoDisplayMeansNoWindow) {
  setenv("SDL_VIDEODRIVER", "no_such_driver", 1);
  SdlPlatform platform;
  EXPECT_FALSE(platform.OpenWindow("Ravolin Ver 0.31"));
  std::vector<uint32_t> pixels(640 * 480, 0);
  platform.Present(FrameView{pixels.data(), 640, 480});  // nothing to present on, no crash
  platform.CloseWindow();
}

TEST_F(SdlPlatformDummyTest, PumpDeliversMappedKeysAndRepeats) {
  SdlPlatform platform;
  ASSERT_TRUE(platform.OpenWindow("Ravolin"));
  CountingSink sink;
  platform.PumpEvents(sink);  // whatever the window itself queued
  sink = CountingSink{};
  PushKey(SDL_KEYDOWN, SDLK_LEFT);
  PushKey(SDL_KEYDOWN, SDLK_LEFT, /*repeat=*/true);
  PushKey(SDL_KEYDOWN, SDLK_a);  // not a game key: not delivered
  PushKey(SDL_KEYDOWN, SDLK_KP_ENTER);
  PushKey(SDL_KEYUP, SDLK_RSHIFT);
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.downs, (std::vector<int16_t>{vk::kLeft, vk::kLeft, vk::kReturn}));
  EXPECT_EQ(sink.ups, (std::vector<int16_t>{vk::kShift}));
  EXPECT_EQ(sink.closes, 0);
}

void PushModifiedKey(Uint32 type, SDL_Keycode sym, Uint16 mod) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym.sym = sym;
  event.key.keysym.mod = mod;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

// The dummy display is 1024 x 768: the picture fits once.
TEST_F(SdlPlatformDummyTest, ScaledWindowIsAnOrdinaryWindowWithoutCursor) {
  SdlPlatform platform(SdlWindowOptions{.fullscreen = false, .scaled = true});
  ASSERT_TRUE(platform.OpenWindow("Ravolin Ver 0.31"));
  const SdlWindowReport report = platform.DescribeWindow();
  EXPECT_EQ(report.window_width, 640);
  EXPECT_EQ(report.window_height, 480);
  EXPECT_FALSE(report.borderless);
  EXPECT_FALSE(report.always_on_top);
  EXPECT_FALSE(report.fullscreen_desktop);
  EXPECT_TRUE(report.cursor_hidden);
}

// A switch is in flight until the window manager has had time to answer; this is longer.
constexpr int kSwitchSettledMs = 200;
// How long a press that came with its release is held for the game.
constexpr int kShortestPressMs = 60;

// F11 and Alt+Enter switch in both directions from either start, and no key of theirs
// reaches the game; the keys around them still do.
TEST_F(SdlPlatformDummyTest, SwitchKeysSwitchAndNeverReachTheGame) {
  for (bool fullscreen : {true, false}) {
    SCOPED_TRACE(fullscreen ? "from full-screen" : "from the window");
    SdlPlatform platform(SdlWindowOptions{.fullscreen = fullscreen, .scaled = true});
    ASSERT_TRUE(platform.OpenWindow("Ravolin"));
    CountingSink sink;
    platform.PumpEvents(sink);
    sink = CountingSink{};
    PushKey(SDL_KEYDOWN, SDLK_F11);
    PushKey(SDL_KEYDOWN, SDLK_F11, /*repeat=*/true);
    PushKey(SDL_KEYUP, SDLK_F11);
    platform.PumpEvents(sink);
    EXPECT_EQ(platform.DescribeWindow().fullscreen_desktop, !fullscreen);
    platform.Sleep(kSwitchSettledMs);
    PushModifiedKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    PushModifiedKey(SDL_KEYUP, SDLK_RETURN, KMOD_LALT);
    PushKey(SDL_KEYDOWN, SDLK_x);
    PushKey(SDL_KEYUP, SDLK_x);
    platform.PumpEvents(sink);
    platform.Sleep(kShortestPressMs);
    platform.PumpEvents(sink);  // the release of a key pressed within the pass
    const SdlWindowReport report = platform.DescribeWindow();
    EXPECT_EQ(report.fullscreen_desktop, fullscreen);
    EXPECT_EQ(report.borderless, fullscreen);
    EXPECT_TRUE(report.cursor_hidden);
    EXPECT_EQ(sink.downs, (std::vector<int16_t>{vk::kX}));
    EXPECT_EQ(sink.ups, (std::vector<int16_t>{vk::kX}));
    EXPECT_EQ(sink.closes, 0);
  }
}

void PushPresses(int count) {
  for (int i = 0; i < count; ++i) {
    PushKey(SDL_KEYDOWN, SDLK_F11);
    PushKey(SDL_KEYUP, SDLK_F11);
  }
}

// Presses queued together are one switch or none, and a press while a switch is in flight
// waits for it to settle; the game's keys behind a burst are not held up by it.
TEST_F(SdlPlatformDummyTest, QueuedSwitchPressesAreMergedOneSwitchAtATime) {
  SdlPlatform platform;
  ASSERT_TRUE(platform.OpenWindow("Ravolin"));
  CountingSink sink;
  platform.PumpEvents(sink);
  sink = CountingSink{};
  PushPresses(50);
  PushKey(SDL_KEYDOWN, SDLK_DOWN);
  const uint32_t start = platform.Now();
  platform.PumpEvents(sink);
  EXPECT_LT(platform.Now() - start, 50u) << "an even burst switched";
  EXPECT_TRUE(platform.DescribeWindow().fullscreen_desktop);
  EXPECT_EQ(sink.downs, (std::vector<int16_t>{vk::kDown}));
  PushPresses(51);
  platform.PumpEvents(sink);
  EXPECT_FALSE(platform.DescribeWindow().fullscreen_desktop);
  PushPresses(1);
  platform.PumpEvents(sink);
  EXPECT_FALSE(platform.DescribeWindow().fullscreen_desktop) << "switched while in flight";
  platform.Sleep(kSwitchSettledMs);
  platform.PumpEvents(sink);
  EXPECT_TRUE(platform.DescribeWindow().fullscreen_desktop) << "the waiting press was lost";
}

// A key pressed and released while the loop was held up reaches the game as a short press
// (50 ms), so the game's look at its flags in between sees it.
TEST_F(SdlPlatformDummyTest, APressAndReleaseWithinOnePassLastsToTheNext) {
  SdlPlatform platform;
  ASSERT_TRUE(platform.OpenWindow("Ravolin"));
  test::RecordingSink sink(platform);
  platform.PumpEvents(sink);
  PushKey(SDL_KEYDOWN, SDLK_DOWN);
  PushKey(SDL_KEYUP, SDLK_DOWN);
  PushKey(SDL_KEYDOWN, SDLK_UP);
  PushKey(SDL_KEYUP, SDLK_UP);
  PushKey(SDL_KEYDOWN, SDLK_UP);  // pressed again: held after all
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.keys.Key_Down, 1);
  EXPECT_EQ(sink.keys.Key_Up, 1);
  platform.Sleep(20);  // a pass of the game's waits later
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.keys.Key_Down, 1);
  platform.Sleep(kShortestPressMs);
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.keys.Key_Down, 0);
  EXPECT_EQ(sink.keys.Key_Up, 1);
  PushKey(SDL_KEYUP, SDLK_UP);
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.keys.Key_Up, 0);
}

TEST_F(SdlPlatformDummyTest, WindowCloseAndQuitAreOneClose) {
  SdlPlatform platform;
  ASSERT_TRUE(platform.OpenWindow("Ravolin"));
  CountingSink sink;
  platform.PumpEvents(sink);
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_PushEvent(&close);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.closes, 1);
}

TEST_F(SdlPlatformDummyTest, TerminationSignalsCloseTheGame) {
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    SdlPlatform platform;
    CountingSink sink;
    platform.PumpEvents(sink);
    std::raise(signal);
    platform.PumpEvents(sink);
    EXPECT_EQ(sink.closes, 1);
  }
}

// A waited effect ends on a quit, a closed window or Escape waiting in the queue, and leaves
// each there for the game's next pass, which runs the shutdown; other keys keep it waiting.
TEST_F(SdlPlatformDummyTest, AWaitedEffectEndsOnQuitCloseOrEscapeLeftInTheQueue) {
  struct Case {
    const char* what;
    Uint32 type;
    SDL_Keycode key;
    bool ends;
  };
  const Case cases[] = {{"quit", SDL_QUIT, 0, true},
                        {"close", SDL_WINDOWEVENT, 0, true},
                        {"Escape", SDL_KEYDOWN, SDLK_ESCAPE, true},
                        {"Escape let go", SDL_KEYUP, SDLK_ESCAPE, false},
                        {"Left", SDL_KEYDOWN, SDLK_LEFT, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SdlPlatform platform;
    ASSERT_TRUE(platform.OpenWindow("Ravolin"));
    CountingSink sink;
    platform.PumpEvents(sink);
    sink = CountingSink{};
    EXPECT_FALSE(platform.EndOfWaitRequested());
    SDL_Event event{};
    event.type = c.type;
    if (c.type == SDL_WINDOWEVENT) event.window.event = SDL_WINDOWEVENT_CLOSE;
    if (c.key != 0) event.key.keysym.sym = c.key;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_EQ(platform.EndOfWaitRequested(), c.ends);
    EXPECT_EQ(platform.EndOfWaitRequested(), c.ends);  // only looked at
    platform.PumpEvents(sink);
    EXPECT_EQ(sink.closes + sink.downs.size() + sink.ups.size(), 1u);
  }
}

TEST_F(SdlPlatformDummyTest, MusicCompletionEventReachesTheSink) {
  SdlPlatform platform;
  CountingSink sink;
  const Uint32 type = SdlAudio::MusicDoneEventType();
  ASSERT_NE(type, static_cast<Uint32>(-1));
  SDL_Event done{};
  done.type = type;
  done.user.code = 1;
  ASSERT_EQ(SDL_PushEvent(&done), 1);
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.music, std::vector<int>{1});
}

TEST_F(SdlPlatformDummyTest, ClockAndSleep) {
  SdlPlatform platform;
  const uint32_t t0 = platform.Now();
  platform.Sleep(30);
  const uint32_t slept = platform.Now() - t0;
  EXPECT_GE(slept, 29u);  // SDL_GetTicks may round the start down
  const uint32_t t1 = platform.Now();
  platform.Sleep(-10);
  EXPECT_LT(platform.Now() - t1, 10u);
}

// Without any display the dialog cannot appear; the line on standard error is what is left,
// and the call must come back rather than wait for a dialog nobody can see.
TEST_F(SdlPlatformDummyTest, MessageGoesToStandardErrorWithoutADisplay) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  SdlPlatform platform;
  ::testing::internal::CaptureStderr();
  platform.ShowMessage("Ravolinを二重起動、または\r\nRavolinコンフィグと一緒に", "起動エラー１",
                       MessageIcon::kWarning);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("起動エラー１: Ravolinを二重起動、または\nRavolinコンフィグと一緒に\n"),
            std::string::npos)
      << err;
  EXPECT_EQ(err.find('\r'), std::string::npos);
}

TEST_F(SdlPlatformDummyTest, ProgramFolderHoldsTheExecutable) {
  SdlPlatform platform;
  EXPECT_TRUE(std::filesystem::exists(platform.ProgramFolder() / "rv_platform_sdl_tests"));
}

}  // namespace
}  // namespace rv
