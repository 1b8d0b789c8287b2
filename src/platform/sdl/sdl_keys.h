#pragma once
#include <cstdint>

namespace rv {

// The key code the game compares against (vk::) for an SDL key symbol, or 0 for a key the
// game does not know. Letters go by symbol, as virtual-key codes do, so the key labelled X
// counts as X on every layout; Return and keypad Enter are one key, and so are both Shifts.
int16_t MapSdlKey(int32_t sdl_keycode);

}  // namespace rv
