#include "platform/sdl/switch_keys.h"

#include <SDL_keycode.h>

namespace rv {

bool* SwitchKeys::SwitchedFlag(int32_t sdl_keycode) {
  if (sdl_keycode == SDLK_RETURN) return &return_switched_;
  if (sdl_keycode == SDLK_KP_ENTER) return &keypad_enter_switched_;
  return nullptr;
}

SwitchKeyAction SwitchKeys::KeyDown(int32_t sdl_keycode, uint16_t modifiers, bool repeat) {
  if (sdl_keycode == SDLK_F11) {
    if (repeat) return SwitchKeyAction::kSwallow;
    switch_due_ = !switch_due_;
    return SwitchKeyAction::kSwitch;
  }
  bool* switched = SwitchedFlag(sdl_keycode);
  if (switched == nullptr) return SwitchKeyAction::kDeliver;
  if (*switched) return SwitchKeyAction::kSwallow;  // held since it switched
  if (repeat || (modifiers & KMOD_ALT) == 0) return SwitchKeyAction::kDeliver;
  *switched = true;
  switch_due_ = !switch_due_;
  return SwitchKeyAction::kSwitch;
}

bool SwitchKeys::TakeSwitch() {
  const bool due = switch_due_;
  switch_due_ = false;
  return due;
}

SwitchKeyAction SwitchKeys::KeyUp(int32_t sdl_keycode) {
  if (sdl_keycode == SDLK_F11) return SwitchKeyAction::kSwallow;
  bool* switched = SwitchedFlag(sdl_keycode);
  if (switched == nullptr || !*switched) return SwitchKeyAction::kDeliver;
  *switched = false;
  return SwitchKeyAction::kSwallow;
}

}  // namespace rv
