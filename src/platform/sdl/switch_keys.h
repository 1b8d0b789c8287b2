#pragma once
// F11 and Alt+Enter switch the game between full-screen and its window. They belong to the
// window, not to the game: neither their key-downs nor the key-up of the Enter that was
// pressed with Alt reach the key handlers, so no key flag ever sees them.

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

 private:
  // The Enter keys whose press switched, until they are released. An Enter already held for
  // the game when Alt goes down stays the game's, repeats and release included.
  bool return_switched_ = false;
  bool keypad_enter_switched_ = false;
  bool* SwitchedFlag(int32_t sdl_keycode);
};

}  // namespace rv
