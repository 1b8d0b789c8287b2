#pragma once
// Pixel-by-pixel looks at a captured frame or a drawn surface: whether an area shows a piece
// of a picture, or only black.

#include <cstdint>
#include <utility>

namespace rv::test {

struct AreaCompare {
  uint32_t mask = 0xFFFFFFFF;  // the bits compared; 0xFFFFFF leaves out the unused top byte
  bool clip = false;           // pixels outside the shown image are skipped, not compared
};

namespace frame_compare_detail {
// A captured frame holds its size in fields, a surface behind accessors.
template <typename Image>
std::pair<int, int> SizeOf(const Image& image) {
  if constexpr (requires { image.width(); }) {
    return {image.width(), image.height()};
  } else {
    return {image.width, image.height};
  }
}
}  // namespace frame_compare_detail

// Whether `shown` holds, with its top-left at (x, y), the w x h piece of `picture` whose
// top-left is (sx, sy).
template <typename Shown, typename Picture>
bool SameArea(const Shown& shown, int x, int y, const Picture& picture, int sx, int sy, int w,
              int h, AreaCompare how = {}) {
  const auto [width, height] = frame_compare_detail::SizeOf(shown);
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      if (how.clip && (x + i < 0 || y + j < 0 || x + i >= width || y + j >= height)) continue;
      if ((shown.Pixel(x + i, y + j) & how.mask) != (picture.Pixel(sx + i, sy + j) & how.mask)) {
        return false;
      }
    }
  }
  return true;
}

// Whether every pixel of the w x h area of `shown` at (x, y) is black.
template <typename Shown>
bool AreaBlack(const Shown& shown, int x, int y, int w, int h, uint32_t mask = 0xFFFFFFFF) {
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      if ((shown.Pixel(x + i, y + j) & mask) != 0) return false;
    }
  }
  return true;
}

}  // namespace rv::test
