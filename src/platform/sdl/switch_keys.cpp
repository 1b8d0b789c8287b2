#include "platform/sdl/switch_keys.h"

#include <SDL_keycode.h>

namespace rv {

bool* SwitchKeys::SwitchedFlag(int32_t sdl_keycode) {
  if (sdl_keycode == SDLK_RETURN) return &return_switched_;
  if (sdl_keycode == SDLK_KP_ENTER) return &keypad_enter_switched_;
  return nullptr;
}

SwitchKeyAction SwitchKeys::KeyDown(int32_t sdl_keycode, uint16_t modifiers, bool repeat) {
  if (sdl_keycode == SDLK_F11) return repeat ? SwitchKeyAction::kSwallow : SwitchKeyAction::kSwitch;
  bool* switched = SwitchedFlag(sdl_keycode);
  if (switched == nullptr) return SwitchKeyAction::kDeliver;
  if (*switched) return SwitchKeyAction::kSwallow;  // held since it switched
  if (repeat || (modifiers & KMOD_ALT) == 0) return SwitchKeyAction::kDeliver;
  *switched = true;
  return SwitchKeyAction::kSwitch;
}

SwitchKeyAction SwitchKeys::KeyUp(int32_t sdl_keycode) {
  if (sdl_keycode == SDLK_F11) return SwitchKeyAction::kSwallow;
  bool* switched = SwitchedFlag(sdl_keycode);
  if (switched == nullptr || !*switched) return SwitchKeyAction::kDeliver;
  *switched = false;
  return SwitchKeyAction::kSwallow;
}

}  // namespace rv
