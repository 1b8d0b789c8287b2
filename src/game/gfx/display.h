#pragma once
// The visible picture: GameScreen and the two cursor shapes that stand over it. Refresh()
// composes both into one frame and hands it to the platform. Moving, showing or hiding a
// shape repaints at once, as a shape control on a window does.

#include <cstdint>
#include <vector>

#include "game/gfx/surface.h"
#include "platform/platform.h"

namespace rv {

class Display;

// A 16 x 16 rectangle outline drawn over the game screen while visible: a rim of its colour,
// two pixels wide, with a one-pixel light line just inside it.
class CursorShape {
 public:
  static constexpr int kSize = 16;
  static constexpr int kBorder = 2;
  static constexpr int kLine = 1;

  CursorShape(Display& owner, uint32_t color, uint32_t line)
      : owner_(owner), color_(color), line_(line) {}
  CursorShape(const CursorShape&) = delete;
  CursorShape& operator=(const CursorShape&) = delete;

  void Move(int x, int y);
  void Show();
  void Hide();
  bool Visible() const { return visible_; }
  int X() const { return x_; }
  int Y() const { return y_; }
  uint32_t Color() const { return color_; }
  uint32_t LineColor() const { return line_; }

 private:
  Display& owner_;
  uint32_t color_;
  uint32_t line_;
  int x_ = 0;
  int y_ = 0;
  bool visible_ = false;
};

class Display {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;
  // Plainly blue for the player and plainly red for the CPU, the lighter blue apart from the
  // red by lightness too, so that the two stay apart in every kind of colour vision. No
  // saturated colour stands 3:1 against both the board and the light player's block, so a
  // light line inside each rim does that: against any neighbour one of the two tones stands
  // at least 3:1 off.
  static constexpr uint32_t kCharaColor = 0x6496FF;  // (100, 150, 255): the player's rim
  static constexpr uint32_t kCharaLine = 0xE1EBFF;   // (225, 235, 255)
  static constexpr uint32_t kEnemyColor = 0xF55046;  // (245, 80, 70): the CPU's rim
  static constexpr uint32_t kEnemyLine = 0xFFE4E1;   // (255, 228, 225)

  explicit Display(Platform& platform);
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Fills GameScreen with its black background. Does not refresh.
  void Clear();
  // Composes GameScreen with the visible shapes and presents the frame.
  void Refresh();
  // The composition alone (into frame_), for the refresh and its benchmark.
  const std::vector<uint32_t>& Compose();

  Surface GameScreen;
  CursorShape CharaCursor;
  CursorShape EnemyCursor;

 private:
  void DrawOutline(const CursorShape& shape);

  Platform& platform_;
  std::vector<uint32_t> frame_;
};

}  // namespace rv
