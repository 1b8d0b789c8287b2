// F11 and Alt+Enter belong to the window: what the game's key handlers never see.
#include "platform/sdl/switch_keys.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <vector>

namespace rv {
namespace {

using A = SwitchKeyAction;

// What TakeSwitch answers after a step (kUnasked: it is not asked there).
enum class Due { kUnasked, kSwitch, kNone };

struct Step {
  bool down;
  SDL_Keycode key;
  uint16_t mod;
  bool repeat;
  A want;
  Due due = Due::kUnasked;
};

void Play(const std::vector<Step>& steps, const char* what) {
  SwitchKeys keys;
  int i = 0;
  for (const Step& s : steps) {
    const A got = s.down ? keys.KeyDown(s.key, s.mod, s.repeat) : keys.KeyUp(s.key);
    EXPECT_EQ(static_cast<int>(got), static_cast<int>(s.want)) << what << ", step " << i;
    if (s.due != Due::kUnasked) {
      EXPECT_EQ(keys.TakeSwitch(), s.due == Due::kSwitch) << what << ", step " << i;
    }
    ++i;
  }
}

TEST(SwitchKeys, F11SwitchesOncePerPressAndIsNeverDelivered) {
  Play({{true, SDLK_F11, 0, false, A::kSwitch},
        {true, SDLK_F11, 0, true, A::kSwallow},
        {false, SDLK_F11, 0, false, A::kSwallow},
        {true, SDLK_F11, KMOD_LSHIFT, false, A::kSwitch},
        {false, SDLK_F11, 0, false, A::kSwallow}},
       "F11");
}

TEST(SwitchKeys, AltEnterSwitchesAndTheEnterStaysAway) {
  for (SDL_Keycode enter : {SDLK_RETURN, SDLK_KP_ENTER}) {
    for (uint16_t alt : {KMOD_LALT, KMOD_RALT}) {
      Play({{true, enter, alt, false, A::kSwitch},
            {true, enter, alt, true, A::kSwallow},
            {true, enter, 0, true, A::kSwallow},  // Alt let go first, Enter still held
            {false, enter, 0, false, A::kSwallow},
            {true, enter, 0, false, A::kDeliver},  // a plain Enter afterwards is the game's
            {false, enter, 0, false, A::kDeliver}},
           "Alt+Enter");
    }
  }
}

TEST(SwitchKeys, TheGamesKeysPassUntouched) {
  Play({{true, SDLK_RETURN, 0, false, A::kDeliver},
        // Alt pressed while the game's Enter is held: its repeats and release stay the game's.
        {true, SDLK_RETURN, KMOD_LALT, true, A::kDeliver},
        {false, SDLK_RETURN, KMOD_LALT, false, A::kDeliver},
        {true, SDLK_x, KMOD_LALT, false, A::kDeliver},
        {false, SDLK_x, 0, false, A::kDeliver},
        {true, SDLK_ESCAPE, 0, false, A::kDeliver},
        {true, SDLK_LALT, KMOD_LALT, false, A::kDeliver},
        {true, SDLK_RETURN, KMOD_LCTRL | KMOD_LSHIFT, false, A::kDeliver},
        {false, SDLK_RETURN, 0, false, A::kDeliver}},
       "game keys");
}

TEST(SwitchKeys, TheTwoEnterKeysAreTrackedApart) {
  Play({{true, SDLK_KP_ENTER, KMOD_LALT, false, A::kSwitch},
        {true, SDLK_RETURN, 0, false, A::kDeliver},
        {false, SDLK_RETURN, 0, false, A::kDeliver},
        {false, SDLK_KP_ENTER, 0, false, A::kSwallow}},
       "two Enters");
}

// Presses queued while the window cannot switch are merged: two are no switch, three are one.
TEST(SwitchKeys, QueuedPressesAreMergedAndAnEvenNumberIsNoSwitch) {
  Play({{true, SDLK_F11, 0, false, A::kSwitch},
        {false, SDLK_F11, 0, false, A::kSwallow},
        {true, SDLK_F11, 0, false, A::kSwitch},
        {false, SDLK_F11, 0, false, A::kSwallow, Due::kNone},
        {true, SDLK_F11, 0, false, A::kSwitch},
        {true, SDLK_F11, 0, true, A::kSwallow},  // repeats are no presses
        {true, SDLK_F11, 0, true, A::kSwallow},
        {false, SDLK_F11, 0, false, A::kSwallow, Due::kSwitch},
        {true, SDLK_x, 0, false, A::kDeliver, Due::kNone},  // taken, so nothing is left
        // Both keys count alike; the game's own Enter does not.
        {true, SDLK_F11, 0, false, A::kSwitch},
        {true, SDLK_RETURN, KMOD_LALT, false, A::kSwitch},
        {false, SDLK_RETURN, 0, false, A::kSwallow},
        {true, SDLK_RETURN, 0, false, A::kDeliver},
        {false, SDLK_RETURN, 0, false, A::kDeliver, Due::kNone},
        {true, SDLK_KP_ENTER, KMOD_RALT, false, A::kSwitch},
        {true, SDLK_F11, 0, false, A::kSwitch},
        {true, SDLK_F11, 0, false, A::kSwitch, Due::kSwitch}},
       "merged presses");
}

}  // namespace
}  // namespace rv
