#include "game/pace/keys.h"

#include "platform/platform.h"

namespace rv {

// Two physical keys share Key_X and two share Key_Z, and the flags do not count keys:
// releasing either one clears the flag even while the other is still held.
KeyAction Form_KeyDown(Keys& keys, int16_t key_code, int16_t /*shift*/) {
  if (key_code == vk::kUp) {
    keys.Key_Up = 1;
  } else if (key_code == vk::kDown) {
    keys.Key_Down = 1;
  } else if (key_code == vk::kLeft) {
    keys.Key_Left = 1;
  } else if (key_code == vk::kRight) {
    keys.Key_Right = 1;
  } else if (key_code == vk::kX) {
    keys.Key_X = 1;
  } else if (key_code == vk::kReturn) {
    keys.Key_X = 1;
  } else if (key_code == vk::kZ) {
    keys.Key_Z = 1;
  } else if (key_code == vk::kShift) {
    keys.Key_Z = 1;
  } else if (key_code == vk::kEscape) {
    return KeyAction::kEscape;
  } else {
    return KeyAction::kIgnored;
  }
  return KeyAction::kFlagSet;
}

void Form_KeyUp(Keys& keys, int16_t key_code, int16_t /*shift*/) {
  if (key_code == vk::kUp) {
    keys.Key_Up = 0;
  } else if (key_code == vk::kDown) {
    keys.Key_Down = 0;
  } else if (key_code == vk::kLeft) {
    keys.Key_Left = 0;
  } else if (key_code == vk::kRight) {
    keys.Key_Right = 0;
  } else if (key_code == vk::kX || key_code == vk::kReturn) {
    keys.Key_X = 0;
  } else if (key_code == vk::kZ || key_code == vk::kShift) {
    keys.Key_Z = 0;
  }
}

}  // namespace rv
