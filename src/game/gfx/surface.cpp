#include "game/gfx/surface.h"

#include <algorithm>

namespace rv {

Surface::Surface(int width, int height, uint32_t fill) { Reset(width, height, fill); }

uint32_t Surface::Pixel(int x, int y) const { return Contains(x, y) ? Row(y)[x] : 0; }

void Surface::SetPixel(int x, int y, uint32_t color) {
  if (Contains(x, y)) Row(y)[x] = color;
}

void Surface::PaintAll(uint32_t color) { std::fill(pixels_.begin(), pixels_.end(), color); }

void Surface::Reset(int width, int height, uint32_t fill) {
  if (width <= 0 || height <= 0) width = height = 0;
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<size_t>(width_) * height_, fill);
}

void Surface::AssignPicture(Surface&& picture) {
  width_ = picture.width_;
  height_ = picture.height_;
  pixels_ = std::move(picture.pixels_);
  picture.width_ = picture.height_ = 0;
  picture.pixels_.clear();
}

}  // namespace rv
