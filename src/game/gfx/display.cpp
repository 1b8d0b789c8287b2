#include "game/gfx/display.h"

#include <algorithm>

#include "game/gfx/text.h"

namespace rv {

void CursorShape::Move(int x, int y) {
  x_ = x;
  y_ = y;
  owner_.Refresh();
}

void CursorShape::Show() {
  visible_ = true;
  owner_.Refresh();
}

void CursorShape::Hide() {
  visible_ = false;
  owner_.Refresh();
}

Display::Display(Platform& platform)
    : GameScreen(kWidth, kHeight, 0x000000),
      CharaCursor(*this, kCharaColor, kCharaLine),
      EnemyCursor(*this, kEnemyColor, kEnemyLine),
      platform_(platform),
      frame_(static_cast<size_t>(kWidth) * kHeight, 0) {
  GameScreen.text().font_px = kScreenFacePx;
}

void Display::Clear() { GameScreen.PaintAll(0x000000); }

void Display::DrawOutline(const CursorShape& shape) {
  auto put = [this](int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < kWidth && y < kHeight)
      frame_[static_cast<size_t>(y) * kWidth + x] = c;
  };
  const int n = CursorShape::kSize;
  for (int b = 0; b < CursorShape::kBorder + CursorShape::kLine; ++b) {
    const uint32_t c = b < CursorShape::kBorder ? shape.Color() : shape.LineColor();
    for (int i = b; i < n - b; ++i) {
      put(shape.X() + i, shape.Y() + b, c);
      put(shape.X() + i, shape.Y() + n - 1 - b, c);
      put(shape.X() + b, shape.Y() + i, c);
      put(shape.X() + n - 1 - b, shape.Y() + i, c);
    }
  }
}

const std::vector<uint32_t>& Display::Compose() {
  if (GameScreen.width() == kWidth && GameScreen.height() == kHeight) {
    std::copy(GameScreen.data(), GameScreen.data() + frame_.size(), frame_.begin());
  } else {
    // Someone gave the screen another size: show what fits, black elsewhere.
    std::fill(frame_.begin(), frame_.end(), 0u);
    for (int y = 0; y < std::min(kHeight, GameScreen.height()); ++y) {
      std::copy_n(GameScreen.Row(y), std::min(kWidth, GameScreen.width()),
                  &frame_[static_cast<size_t>(y) * kWidth]);
    }
  }
  // The player's shape is placed after the CPU's on the form, so it is drawn on top.
  if (EnemyCursor.Visible()) DrawOutline(EnemyCursor);
  if (CharaCursor.Visible()) DrawOutline(CharaCursor);
  return frame_;
}

void Display::Refresh() {
  Compose();
  platform_.Present(FrameView{frame_.data(), kWidth, kHeight});
}

}  // namespace rv
