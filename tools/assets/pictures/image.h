// Small raster toolkit of the asset generator: float RGB images, coverage
// masks and the few operations our pictures are painted with.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rv::assets {

struct Color {
  float r = 0, g = 0, b = 0;  // 0..255
};

constexpr Color Rgb(int r, int g, int b) {
  return {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)};
}
Color Mix(Color a, Color b, float t);  // t = 0 gives a, 1 gives b

// Coverage 0..1 per pixel.
class Mask {
 public:
  Mask() = default;
  Mask(int w, int h) : w_(w), h_(h), a_(static_cast<std::size_t>(w) * h, 0.0f) {}
  int Width() const { return w_; }
  int Height() const { return h_; }
  float At(int x, int y) const;  // 0 outside
  float& Ref(int x, int y) { return a_[static_cast<std::size_t>(y) * w_ + x]; }

  // Ink bounds: first and one-past-last column / row with coverage > 0.
  struct Bounds {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty = true;
    int W() const { return x1 - x0; }
    int H() const { return y1 - y0; }
  };
  Bounds InkBounds() const;

  Mask Dilated(float radius) const;  // maximum over a disc, soft rim
  Mask Blurred(int radius) const;    // two box passes
  Mask Shifted(int dx, int dy) const;
  Mask Padded(int pad) const;
  Mask Minus(const Mask& other) const;  // max(0, a - b), same size

 private:
  int w_ = 0, h_ = 0;
  std::vector<float> a_;
};

class Image {
 public:
  Image() = default;
  Image(int w, int h, Color fill = {});
  int Width() const { return w_; }
  int Height() const { return h_; }
  Color At(int x, int y) const { return px_[Index(x, y)]; }
  void Set(int x, int y, Color c) { px_[Index(x, y)] = c; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }

  void FillRect(int x, int y, int w, int h, Color c);
  // Paints colour fn(x, y) over the image wherever the mask (placed with its
  // top-left at ox, oy) covers, by its coverage times opacity.
  void Paint(const Mask& m, int ox, int oy, const std::function<Color(int, int)>& fn,
             float opacity = 1.0f);
  void Paint(const Mask& m, int ox, int oy, Color c, float opacity = 1.0f);
  void Blit(const Image& src, int dx, int dy);
  Image Scaled(int factor) const;  // nearest neighbour

  // 8-bit RGB, rows top to bottom, rounded and clamped.
  std::vector<std::uint8_t> ToRgb8() const;

 private:
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * w_ + x; }
  int w_ = 0, h_ = 0;
  std::vector<Color> px_;
};

// Filled convex polygon with anti-aliased edges (4 x 4 subsamples per pixel).
Mask PolygonMask(int w, int h, const std::vector<std::pair<float, float>>& pts);
// Filled rounded rectangle, anti-aliased.
Mask RoundRectMask(int w, int h, float x0, float y0, float x1, float y1, float radius);
// Leaned forward: the bottom row stays, each row above moves right by k per row (the title's
// letters and the icon's).
Mask Sheared(const Mask& m, float k);

// Deterministic writers (no time stamps). They return false on any I/O error.
bool WritePng(const std::string& path, const Image& img);
bool WriteBmp24(const std::string& path, const Image& img);

}  // namespace rv::assets
