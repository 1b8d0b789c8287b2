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

// A 16 x 16 rectangle outline, two pixels wide, drawn over the game screen while visible.
class CursorShape {
 public:
  static constexpr int kSize = 16;
  static constexpr int kBorder = 2;

  CursorShape(Display& owner, uint32_t color) : owner_(owner), color_(color) {}
  CursorShape(const CursorShape&) = delete;
  CursorShape& operator=(const CursorShape&) = delete;

  void Move(int x, int y);
  void Show();
  void Hide();
  bool Visible() const { return visible_; }
  int X() const { return x_; }
  int Y() const { return y_; }
  uint32_t Color() const { return color_; }

 private:
  Display& owner_;
  uint32_t color_;
  int x_ = 0;
  int y_ = 0;
  bool visible_ = false;
};

class Display {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;
  // Pale shades of blue and red. Each outline stands at least 3:1 against the board and
  // against the average colour of either side's block beside (or, for the CPU's, under)
  // the cursor. The player's block is the light one, so an outline that clears it by 3:1
  // has to be nearly white; the tint alone tells the two cursors apart.
  static constexpr uint32_t kCharaColor = 0xD2E6FF;  // blue (210, 230, 255): the player's cursor
  static constexpr uint32_t kEnemyColor = 0xFFDCD2;  // red (255, 220, 210): the CPU's cursor

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
