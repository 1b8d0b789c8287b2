#pragma once
// F11 and Alt+Enter switch the game between full-screen and its window. They belong to the
// window, not to the game: neither their key-downs nor the key-up of the Enter that was
// pressed with Alt reach the key handlers, so no key flag ever sees them.
//
// A switch takes the window a good tenth of a second (SDL waits for the window manager), so
// presses are not acted on one by one: they are merged until the window can switch again, and
// an even number of them is no switch at all.

#include <cstdint>

namespace rv {

enum class SwitchKeyAction {
  kDeliver,  // a key for the game (or for nobody): handled as before
  kSwitch,   // switch between full-screen and the window now
  kSwallow,  // part of a switch key (its auto-repeat, its key-up): dropped
};

class SwitchKeys {
 public:
  // sdl_keycode and modifiers as SDL reports them (SDL_Keycode, SDL_Keymod).
  SwitchKeyAction KeyDown(int32_t sdl_keycode, uint16_t modifiers, bool repeat);
  SwitchKeyAction KeyUp(int32_t sdl_keycode);
  // Whether the presses (kSwitch) since the last call add up to a switch; takes them.
  bool TakeSwitch();

 private:
  bool switch_due_ = false;  // an odd number of presses waits
  // The Enter keys whose press switched, until they are released. An Enter already held for
  // the game when Alt goes down stays the game's, repeats and release included.
  bool return_switched_ = false;
  bool keypad_enter_switched_ = false;
  bool* SwitchedFlag(int32_t sdl_keycode);
};

}  // namespace rv
