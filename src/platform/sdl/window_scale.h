#pragma once
// Where the game's window goes when it is not full-screen: the 640 x 480 picture at the
// largest whole-number scale that fits the usable desktop (the desktop less panels and
// docks, and less the window's own frame), centred on it. Whole numbers keep every pixel of
// the picture the same size. Pure arithmetic, without SDL.

namespace rv {

struct WindowRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;

  bool operator==(const WindowRect&) const = default;
};

// The frame a window manager puts around the client area.
struct WindowFrame {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
};

// The largest whole scale at which width x height fits into room_width x room_height; at
// least 1, even where the room is smaller than the picture.
int WholeScale(int room_width, int room_height, int width, int height);

// The client area of the window: the picture at WholeScale of the usable area less the
// frame, centred on the usable area (frame included).
WindowRect ScaledWindow(const WindowRect& usable, const WindowFrame& frame, int width, int height);

}  // namespace rv
