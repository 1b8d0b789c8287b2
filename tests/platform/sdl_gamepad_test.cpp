// Gamepads as keys: the translation fed with synthetic controller events, then a virtual
// pad plugged into the SDL platform with the dummy video driver.
#include "platform/sdl/sdl_gamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/pace/keys.h"
#include "platform/sdl/sdl_platform.h"

namespace rv {
namespace {

// Records key-downs, key-ups and closes as text, and keeps the game's key flags.
class PadSink : public EventSink {
 public:
  void OnKeyDown(int16_t key_code) override {
    log.push_back("down " + std::to_string(key_code));
    Form_KeyDown(keys, key_code);
  }
  void OnKeyUp(int16_t key_code) override {
    log.push_back("up " + std::to_string(key_code));
    Form_KeyUp(keys, key_code);
  }
  void OnClose() override { log.push_back("close"); }
  void OnMusicDone(int) override {}
  std::vector<std::string> Take() { return std::exchange(log, {}); }
  std::vector<std::string> log;
  Keys keys;
};

std::string Down(int16_t code) { return "down " + std::to_string(code); }
std::string Up(int16_t code) { return "up " + std::to_string(code); }
using Log = std::vector<std::string>;

SDL_Event ButtonEvent(int32_t pad, int button, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
  e.cbutton.which = pad;
  e.cbutton.button = static_cast<Uint8>(button);
  e.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
  return e;
}

SDL_Event AxisEvent(int32_t pad, int axis, int value) {
  SDL_Event e{};
  e.type = SDL_CONTROLLERAXISMOTION;
  e.caxis.which = pad;
  e.caxis.axis = static_cast<Uint8>(axis);
  e.caxis.value = static_cast<Sint16>(value);
  return e;
}

TEST(GamepadKeysTest, ButtonsStandForTheGameKeys) {
  const struct {
    int button;
    int16_t code;  // 0: no key
  } cases[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, vk::kUp},
      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, vk::kDown},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, vk::kLeft},
      {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, vk::kRight},
      {SDL_CONTROLLER_BUTTON_A, vk::kX},
      {SDL_CONTROLLER_BUTTON_B, vk::kZ},
      {SDL_CONTROLLER_BUTTON_START, vk::kReturn},
      {SDL_CONTROLLER_BUTTON_BACK, 0},
      {SDL_CONTROLLER_BUTTON_X, 0},
      {SDL_CONTROLLER_BUTTON_Y, 0},
      {SDL_CONTROLLER_BUTTON_GUIDE, 0},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0},
      {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0},
      {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    GamepadKeys pad;
    PadSink sink;
    EXPECT_TRUE(pad.HandleEvent(ButtonEvent(7, c.button, true), sink, 0));
    EXPECT_EQ(sink.Take(), c.code != 0 ? Log{Down(c.code)} : Log{});
    EXPECT_TRUE(pad.HandleEvent(ButtonEvent(7, c.button, false), sink, 10));
    EXPECT_EQ(sink.Take(), c.code != 0 ? Log{Up(c.code)} : Log{});
  }
}

TEST(GamepadKeysTest, NothingOnAPadIsEscape) {
  GamepadKeys pad;
  PadSink sink;
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
    if (b == SDL_CONTROLLER_BUTTON_BACK) continue;  // the quit chord is tested below
    pad.Button(1, b, true, sink, 0);
  }
  for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a) {
    pad.Axis(1, a, -32768, sink, 0);
    pad.Axis(1, a, 32767, sink, 0);
  }
  for (const std::string& entry : sink.log) {
    EXPECT_NE(entry, Down(vk::kEscape));
    EXPECT_NE(entry, "close");
  }
}

TEST(GamepadKeysTest, OtherEventsAreNotThePads) {
  GamepadKeys pad;
  PadSink sink;
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  EXPECT_FALSE(pad.HandleEvent(key, sink, 0));
  SDL_Event joy{};
  joy.type = SDL_JOYBUTTONDOWN;
  EXPECT_FALSE(pad.HandleEvent(joy, sink, 0));
  EXPECT_TRUE(sink.log.empty());
}

TEST(GamepadKeysTest, TheLeftStickPushesArrowsOutsideItsDeadZone) {
  const int press = GamepadKeys::kStickPress;
  const int release = GamepadKeys::kStickRelease;
  const struct {
    const char* what;
    std::vector<std::pair<int, int>> moves;  // axis, value
    Log expected;
  } cases[] = {
      {"resting and wobbling", {{0, 3000}, {0, -9000}, {1, 12000}, {1, -press + 1}}, {}},
      {"left and back",
       {{0, -press}, {0, -20000}, {0, -release}, {0, -release + 1}},
       {Down(vk::kLeft), Up(vk::kLeft)}},
      {"held between the thresholds",
       {{0, press}, {0, release}, {0, press + 5}},
       {Down(vk::kRight)}},
      {"let go inside the release line",
       {{0, 32767}, {0, release - 1}},
       {Down(vk::kRight), Up(vk::kRight)}},
      {"across from left to right",
       {{0, -32768}, {0, 32767}},
       {Down(vk::kLeft), Up(vk::kLeft), Down(vk::kRight)}},
      {"up is negative", {{1, -32768}, {1, 0}}, {Down(vk::kUp), Up(vk::kUp)}},
      {"down", {{1, 32767}, {1, 0}}, {Down(vk::kDown), Up(vk::kDown)}},
      {"diagonal", {{0, -30000}, {1, 30000}}, {Down(vk::kLeft), Down(vk::kDown)}},
      {"the right stick and the triggers do nothing",
       {{2, -32768}, {3, 32767}, {4, 32767}, {5, 32767}},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GamepadKeys pad;
    PadSink sink;
    for (const auto& [axis, value] : c.moves) {
      const int sdl_axis = axis == 0   ? SDL_CONTROLLER_AXIS_LEFTX
                           : axis == 1 ? SDL_CONTROLLER_AXIS_LEFTY
                           : axis == 2 ? SDL_CONTROLLER_AXIS_RIGHTX
                           : axis == 3 ? SDL_CONTROLLER_AXIS_RIGHTY
                           : axis == 4 ? SDL_CONTROLLER_AXIS_TRIGGERLEFT
                                       : SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
      EXPECT_TRUE(pad.HandleEvent(AxisEvent(3, sdl_axis, value), sink, 0));
    }
    EXPECT_EQ(sink.log, c.expected);
  }
}

// The d-pad and the stick held the same way are one arrow: the flag falls when both let go.
TEST(GamepadKeysTest, AnArrowHeldTwiceGoesUpOnlyWhenBothLetGo) {
  GamepadKeys pad;
  PadSink sink;
  pad.Button(1, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true, sink, 0);
  pad.Axis(1, SDL_CONTROLLER_AXIS_LEFTX, -32768, sink, 0);
  pad.Button(1, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false, sink, 0);
  EXPECT_EQ(sink.keys.Key_Left, 1);
  pad.Axis(1, SDL_CONTROLLER_AXIS_LEFTX, 0, sink, 0);
  EXPECT_EQ(sink.keys.Key_Left, 0);
  EXPECT_EQ(sink.Take(), (Log{Down(vk::kLeft), Down(vk::kLeft), Up(vk::kLeft)}));
  // A pad that reports a button down twice pressed it once.
  pad.Button(1, SDL_CONTROLLER_BUTTON_A, true, sink, 0);
  pad.Button(1, SDL_CONTROLLER_BUTTON_A, true, sink, 0);
  pad.Button(1, SDL_CONTROLLER_BUTTON_A, false, sink, 0);
  pad.Button(1, SDL_CONTROLLER_BUTTON_A, false, sink, 0);
  EXPECT_EQ(sink.Take(), (Log{Down(vk::kX), Up(vk::kX)}));
}

TEST(GamepadKeysTest, AHeldInputRepeatsLikeAHeldKey) {
  const uint32_t delay = GamepadKeys::kRepeatDelayMs;
  const uint32_t interval = GamepadKeys::kRepeatIntervalMs;
  GamepadKeys pad;
  PadSink sink;
  const uint32_t t0 = 0xFFFFFF00u;  // across the clock's wrap
  pad.Button(1, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true, sink, t0);
  sink.Take();
  pad.Repeat(sink, t0 + delay - 1);
  EXPECT_TRUE(sink.Take().empty());
  pad.Repeat(sink, t0 + delay);
  EXPECT_EQ(sink.Take(), Log{Down(vk::kRight)});
  pad.Repeat(sink, t0 + delay + interval - 1);
  EXPECT_TRUE(sink.Take().empty());
  pad.Repeat(sink, t0 + delay + interval);
  EXPECT_EQ(sink.Take(), Log{Down(vk::kRight)});
  EXPECT_EQ(sink.keys.Key_Right, 1);
  // The match clears the flag after each step; the next repeat sets it again.
  sink.keys.Key_Right = 0;
  pad.Repeat(sink, t0 + delay + 2 * interval);
  EXPECT_EQ(sink.keys.Key_Right, 1);
  sink.Take();
  // Only the last pressed input repeats, and none after it is let go.
  pad.Button(1, SDL_CONTROLLER_BUTTON_A, true, sink, t0 + 1000);
  pad.Repeat(sink, t0 + 1000 + delay);
  EXPECT_EQ(sink.Take(), (Log{Down(vk::kX), Down(vk::kX)}));
  pad.Button(1, SDL_CONTROLLER_BUTTON_A, false, sink, t0 + 2000);
  pad.Repeat(sink, t0 + 3000);
  EXPECT_EQ(sink.Take(), Log{Up(vk::kX)});
  EXPECT_EQ(sink.keys.Key_Right, 1) << "the d-pad is still held";
}

TEST(GamepadKeysTest, BackWithStartQuitsInEitherOrder) {
  const struct {
    const char* what;
    std::vector<std::pair<int, bool>> buttons;  // button, down
    Log expected;
  } cases[] = {
      {"back, then start",
       {{SDL_CONTROLLER_BUTTON_BACK, true}, {SDL_CONTROLLER_BUTTON_START, true}},
       {"close"}},
      {"start, then back",
       {{SDL_CONTROLLER_BUTTON_START, true}, {SDL_CONTROLLER_BUTTON_BACK, true}},
       {Down(vk::kReturn), "close"}},
      {"back let go first",
       {{SDL_CONTROLLER_BUTTON_BACK, true},
        {SDL_CONTROLLER_BUTTON_BACK, false},
        {SDL_CONTROLLER_BUTTON_START, true}},
       {Down(vk::kReturn)}},
      {"back alone", {{SDL_CONTROLLER_BUTTON_BACK, true}, {SDL_CONTROLLER_BUTTON_BACK, false}}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GamepadKeys pad;
    PadSink sink;
    for (const auto& [button, down] : c.buttons) pad.Button(4, button, down, sink, 0);
    EXPECT_EQ(sink.log, c.expected);
  }
  // Back on one pad and Start on another are no chord.
  GamepadKeys pad;
  PadSink sink;
  pad.Button(1, SDL_CONTROLLER_BUTTON_BACK, true, sink, 0);
  pad.Button(2, SDL_CONTROLLER_BUTTON_START, true, sink, 0);
  EXPECT_EQ(sink.log, Log{Down(vk::kReturn)});
}

TEST(GamepadKeysTest, APadThatLeavesLetsGoOfItsKeysOnly) {
  GamepadKeys pad;
  PadSink sink;
  pad.Button(2, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true, sink, 0);
  pad.Button(1, SDL_CONTROLLER_BUTTON_A, true, sink, 0);
  pad.Axis(1, SDL_CONTROLLER_AXIS_LEFTX, -32768, sink, 0);
  sink.Take();
  pad.PadRemoved(1, sink);
  EXPECT_EQ(sink.Take(), Log{Up(vk::kX)});
  EXPECT_EQ(sink.keys.Key_X, 0);
  EXPECT_EQ(sink.keys.Key_Left, 1) << "the other pad still holds it";
  pad.Repeat(sink, 5000);  // the removed pad's input no longer repeats
  EXPECT_TRUE(sink.Take().empty());
  pad.PadRemoved(2, sink);
  EXPECT_EQ(sink.Take(), Log{Up(vk::kLeft)});
}

// A virtual pad, as SDL offers for testing, plugged in after the platform started.
class VirtualPadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // The dummy driver's window never has the focus, and SDL holds back a pad's input from
    // an application in the background.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
  }
  void TearDown() override { unsetenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS"); }
  // Plugs a virtual game controller in and opens it (nullptr when SDL cannot); the platform
  // hears of the arrival on its next pass.
  static SDL_Joystick* PlugInPad(int& index) {
    index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    return index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  }
  // The platform with its window open and, after its first pass, a pad plugged in whose
  // arrival it has heard of (joystick nullptr when either failed).
  struct PlatformWithPad {
    SdlPlatform platform;
    PadSink sink;
    int index = -1;
    SDL_Joystick* joystick = nullptr;

    PlatformWithPad() {
      const bool opened = platform.OpenWindow("Ravolin");
      EXPECT_TRUE(opened);
      if (!opened) return;
      platform.PumpEvents(sink);
      joystick = PlugInPad(index);
      if (joystick != nullptr) platform.PumpEvents(sink);
    }
    void Unplug() {
      SDL_JoystickClose(joystick);
      SDL_JoystickDetachVirtual(index);
    }
    // Pumps until the sink has seen `entry`, or gives up.
    bool PumpUntil(const std::string& entry) {
      for (int i = 0; i < 50; ++i) {
        platform.PumpEvents(sink);
        for (const std::string& seen : sink.log) {
          if (seen == entry) return true;
        }
        SDL_Delay(2);
      }
      return false;
    }
  };
};

TEST_F(VirtualPadTest, APadPluggedInAfterTheStartDrivesTheKeys) {
  PlatformWithPad p;
  ASSERT_NE(p.joystick, nullptr);

  SDL_JoystickSetVirtualButton(p.joystick, SDL_CONTROLLER_BUTTON_A, 1);
  EXPECT_TRUE(p.PumpUntil(Down(vk::kX)));
  EXPECT_EQ(p.sink.keys.Key_X, 1);
  SDL_JoystickSetVirtualButton(p.joystick, SDL_CONTROLLER_BUTTON_A, 0);
  EXPECT_TRUE(p.PumpUntil(Up(vk::kX)));
  EXPECT_EQ(p.sink.keys.Key_X, 0);

  SDL_JoystickSetVirtualAxis(p.joystick, SDL_CONTROLLER_AXIS_LEFTX, -30000);
  EXPECT_TRUE(p.PumpUntil(Down(vk::kLeft)));
  EXPECT_EQ(p.sink.keys.Key_Left, 1);

  // Unplugged while held: the arrow is let go.
  p.Unplug();
  EXPECT_TRUE(p.PumpUntil(Up(vk::kLeft)));
  EXPECT_EQ(p.sink.keys.Key_Left, 0);
}

TEST_F(VirtualPadTest, BackAndStartCloseTheGame) {
  PlatformWithPad p;
  ASSERT_NE(p.joystick, nullptr);
  SDL_JoystickSetVirtualButton(p.joystick, SDL_CONTROLLER_BUTTON_BACK, 1);
  p.platform.PumpEvents(p.sink);
  SDL_JoystickSetVirtualButton(p.joystick, SDL_CONTROLLER_BUTTON_START, 1);
  EXPECT_TRUE(p.PumpUntil("close"));
  for (const std::string& entry : p.sink.log) EXPECT_NE(entry, Down(vk::kReturn));
  p.Unplug();
}

// With no pad connected the devices are looked at twice a second, not on every pass of the
// menu's wait (a connected pad is read on every pass: the tests above depend on it).
TEST_F(VirtualPadTest, WithoutAPadDevicesAreLookedAtEveryHalfSecond) {
  SdlGamepads pads;
  EXPECT_FALSE(pads.UpdateDue(1000)) << "due before the subsystem runs";
  ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0);
  pads.Start();
  EXPECT_TRUE(pads.UpdateDue(1000)) << "the first pass must look";
  pads.Update(1000);
  struct Step {
    uint32_t last_update;
    uint32_t now;
    bool due;
  };
  const Step steps[] = {{1000, 1001, false},
                        {1000, 1499, false},
                        {1000, 1500, true},
                        {0xFFFFFF00u, 0x10, false},
                        {0xFFFFFF00u, 0xF4, true}};  // 500 ms across the clock's wrap
  for (const Step& step : steps) {
    pads.Update(step.last_update);
    EXPECT_EQ(pads.UpdateDue(step.now), step.due) << step.last_update << " -> " << step.now;
  }
  pads.Stop();
  SDL_Quit();
}

// Pads are not looked for before the window exists: the window does not wait for them.
TEST_F(VirtualPadTest, NoPadSearchBeforeTheWindow) {
  SdlPlatform platform;
  PadSink sink;
  platform.PumpEvents(sink);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
  setenv("SDL_VIDEODRIVER", "no_such_driver", 1);
  EXPECT_FALSE(platform.OpenWindow("Ravolin"));
  EXPECT_EQ(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u) << "searched without a window";
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  ASSERT_TRUE(platform.OpenWindow("Ravolin"));
  EXPECT_NE(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
}

}  // namespace
}  // namespace rv
