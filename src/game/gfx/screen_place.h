#pragma once
// Where on a surface something is drawn; the rectangles of picture_rects.h say where it is
// taken from.

namespace rv {

struct ScreenPoint {
  int x;
  int y;
};

struct ScreenBox {
  int x;
  int y;
  int w;
  int h;
};

}  // namespace rv
