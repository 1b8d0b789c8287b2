#pragma once
// The six held-key flags and the main window's two key handlers. The flags are all the
// input state the game has: no queue of presses, no edges, 1 while held and 0 after release.

#include <cstdint>

namespace rv {

struct Keys {
  int16_t Key_Up = 0;
  int16_t Key_Down = 0;
  int16_t Key_Left = 0;
  int16_t Key_Right = 0;
  int16_t Key_X = 0;  // X or Return: decide
  int16_t Key_Z = 0;  // Z or Shift: cancel
};

// What a key-down asks of the caller. Escape does not end anything by itself: the caller
// runs the regular shutdown, so that the marker, the sound and the display are put right.
enum class KeyAction { kIgnored, kFlagSet, kEscape };

// The shift state is accepted and never looked at: Shift+X counts as X.
KeyAction Form_KeyDown(Keys& keys, int16_t key_code, int16_t shift = 0);
void Form_KeyUp(Keys& keys, int16_t key_code, int16_t shift = 0);

}  // namespace rv
