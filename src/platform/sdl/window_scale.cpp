#include "platform/sdl/window_scale.h"

#include <algorithm>

namespace rv {

int WholeScale(int room_width, int room_height, int width, int height) {
  if (width <= 0 || height <= 0) return 1;
  return std::max(1, std::min(room_width / width, room_height / height));
}

WindowRect ScaledWindow(const WindowRect& usable, const WindowFrame& frame, int width, int height) {
  const int frame_w = frame.left + frame.right;
  const int frame_h = frame.top + frame.bottom;
  const int scale = WholeScale(usable.w - frame_w, usable.h - frame_h, width, height);
  WindowRect client;
  client.w = width * scale;
  client.h = height * scale;
  // The whole window (frame included) is centred; where it is larger than the usable area it
  // starts at the area's corner, so that its title bar stays reachable.
  client.x = usable.x + std::max(0, (usable.w - client.w - frame_w) / 2) + frame.left;
  client.y = usable.y + std::max(0, (usable.h - client.h - frame_h) / 2) + frame.top;
  return client;
}

}  // namespace rv
