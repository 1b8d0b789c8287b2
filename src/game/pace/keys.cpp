#include "game/pace/keys.h"

#include "platform/platform.h"

namespace rv {

namespace {

// Which flag each game key sets. Two physical keys share Key_X and two share Key_Z, and the
// flags do not count keys: releasing either one clears the flag even while the other is
// still held.
struct KeyFlag {
  int16_t key_code;
  int16_t Keys::*flag;
};
constexpr KeyFlag kKeyFlags[] = {
    {vk::kUp, &Keys::Key_Up},       {vk::kDown, &Keys::Key_Down}, {vk::kLeft, &Keys::Key_Left},
    {vk::kRight, &Keys::Key_Right}, {vk::kX, &Keys::Key_X},       {vk::kReturn, &Keys::Key_X},
    {vk::kZ, &Keys::Key_Z},         {vk::kShift, &Keys::Key_Z},
};

int16_t* FlagOf(Keys& keys, int16_t key_code) {
  for (const KeyFlag& k : kKeyFlags) {
    if (k.key_code == key_code) return &(keys.*k.flag);
  }
  return nullptr;
}

}  // namespace

KeyAction Form_KeyDown(Keys& keys, int16_t key_code, int16_t /*shift*/) {
  if (int16_t* flag = FlagOf(keys, key_code)) {
    *flag = 1;
    return KeyAction::kFlagSet;
  }
  return key_code == vk::kEscape ? KeyAction::kEscape : KeyAction::kIgnored;
}

void Form_KeyUp(Keys& keys, int16_t key_code, int16_t /*shift*/) {
  if (int16_t* flag = FlagOf(keys, key_code)) *flag = 0;
}

}  // namespace rv
