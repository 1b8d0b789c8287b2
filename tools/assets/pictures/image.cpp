#include "pictures/image.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace rv::assets {

Color Mix(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float Mask::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0.0f;
  return a_[static_cast<std::size_t>(y) * w_ + x];
}

Mask::Bounds Mask::InkBounds() const {
  Bounds b;
  b.x0 = w_;
  b.y0 = h_;
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      if (At(x, y) <= 0.0f) continue;
      b.empty = false;
      b.x0 = std::min(b.x0, x);
      b.y0 = std::min(b.y0, y);
      b.x1 = std::max(b.x1, x + 1);
      b.y1 = std::max(b.y1, y + 1);
    }
  }
  if (b.empty) b = Bounds{};
  return b;
}

Mask Mask::Dilated(float radius) const {
  Mask out(w_, h_);
  const int r = static_cast<int>(std::ceil(radius)) + 1;
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      float best = 0.0f;
      for (int dy = -r; dy <= r && best < 1.0f; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
          const float a = At(x + dx, y + dy);
          if (a <= best) continue;
          // A soft one-pixel rim keeps the grown outline anti-aliased.
          const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
          const float w = std::clamp(radius + 1.0f - d, 0.0f, 1.0f);
          best = std::max(best, a * w);
        }
      }
      out.Ref(x, y) = best;
    }
  }
  return out;
}

Mask Mask::Blurred(int radius) const {
  Mask cur = *this;
  for (int pass = 0; pass < 2; ++pass) {
    Mask h(w_, h_);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        float s = 0;
        for (int k = -radius; k <= radius; ++k) s += cur.At(x + k, y);
        h.Ref(x, y) = s / static_cast<float>(2 * radius + 1);
      }
    Mask v(w_, h_);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        float s = 0;
        for (int k = -radius; k <= radius; ++k) s += h.At(x, y + k);
        v.Ref(x, y) = s / static_cast<float>(2 * radius + 1);
      }
    cur = v;
  }
  return cur;
}

Mask Mask::Shifted(int dx, int dy) const {
  Mask out(w_, h_);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) out.Ref(x, y) = At(x - dx, y - dy);
  return out;
}

Mask Mask::Padded(int pad) const {
  Mask out(w_ + 2 * pad, h_ + 2 * pad);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) out.Ref(x + pad, y + pad) = At(x, y);
  return out;
}

Mask Mask::Minus(const Mask& other) const {
  Mask out(w_, h_);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) out.Ref(x, y) = std::max(0.0f, At(x, y) - other.At(x, y));
  return out;
}

Image::Image(int w, int h, Color fill) : w_(w), h_(h), px_(static_cast<std::size_t>(w) * h, fill) {}

void Image::FillRect(int x, int y, int w, int h, Color c) {
  for (int yy = std::max(0, y); yy < std::min(h_, y + h); ++yy)
    for (int xx = std::max(0, x); xx < std::min(w_, x + w); ++xx) Set(xx, yy, c);
}

void Image::Paint(const Mask& m, int ox, int oy, const std::function<Color(int, int)>& fn,
                  float opacity) {
  for (int y = 0; y < m.Height(); ++y) {
    for (int x = 0; x < m.Width(); ++x) {
      const float a = m.At(x, y) * opacity;
      const int ix = ox + x, iy = oy + y;
      if (a <= 0.0f || !Inside(ix, iy)) continue;
      Set(ix, iy, Mix(At(ix, iy), fn(ix, iy), std::min(a, 1.0f)));
    }
  }
}

void Image::Paint(const Mask& m, int ox, int oy, Color c, float opacity) {
  Paint(
      m, ox, oy, [c](int, int) { return c; }, opacity);
}

void Image::Blit(const Image& src, int dx, int dy) {
  for (int y = 0; y < src.h_; ++y)
    for (int x = 0; x < src.w_; ++x)
      if (Inside(dx + x, dy + y)) Set(dx + x, dy + y, src.At(x, y));
}

Image Image::Scaled(int factor) const {
  Image out(w_ * factor, h_ * factor);
  for (int y = 0; y < out.h_; ++y)
    for (int x = 0; x < out.w_; ++x) out.Set(x, y, At(x / factor, y / factor));
  return out;
}

std::vector<std::uint8_t> Image::ToRgb8() const {
  std::vector<std::uint8_t> out(px_.size() * 3);
  auto q = [](float v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
  for (std::size_t i = 0; i < px_.size(); ++i) {
    out[3 * i] = q(px_[i].r);
    out[3 * i + 1] = q(px_[i].g);
    out[3 * i + 2] = q(px_[i].b);
  }
  return out;
}

namespace {

bool InsideConvex(const std::vector<std::pair<float, float>>& pts, float x, float y) {
  // Accept either winding: all cross products share one sign.
  int sign = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const auto [ax, ay] = pts[i];
    const auto [bx, by] = pts[(i + 1) % pts.size()];
    const float c = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
    const int s = (c > 0) - (c < 0);
    if (s == 0) continue;
    if (sign == 0) sign = s;
    if (s != sign) return false;
  }
  return true;
}

}  // namespace

Mask PolygonMask(int w, int h, const std::vector<std::pair<float, float>>& pts) {
  Mask m(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          hits += InsideConvex(pts, static_cast<float>(x) + (sx + 0.5f) / 4.0f,
                               static_cast<float>(y) + (sy + 0.5f) / 4.0f);
      m.Ref(x, y) = static_cast<float>(hits) / 16.0f;
    }
  return m;
}

Mask RoundRectMask(int w, int h, float x0, float y0, float x1, float y1, float radius) {
  Mask m(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          const float px = static_cast<float>(x) + (sx + 0.5f) / 4.0f;
          const float py = static_cast<float>(y) + (sy + 0.5f) / 4.0f;
          const float cx = std::clamp(px, x0 + radius, x1 - radius);
          const float cy = std::clamp(py, y0 + radius, y1 - radius);
          const float dx = px - cx, dy = py - cy;
          hits += (px >= x0 && px <= x1 && py >= y0 && py <= y1 &&
                   dx * dx + dy * dy <= radius * radius);
        }
      m.Ref(x, y) = static_cast<float>(hits) / 16.0f;
    }
  return m;
}

bool WritePng(const std::string& path, const Image& img) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  const std::vector<std::uint8_t> rgb = img.ToRgb8();
  std::vector<png_bytep> rows(static_cast<std::size_t>(img.Height()));
  for (int y = 0; y < img.Height(); ++y)
    rows[y] = const_cast<png_bytep>(rgb.data() + static_cast<std::size_t>(y) * img.Width() * 3);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, f.get());
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, static_cast<png_uint_32>(img.Width()),
               static_cast<png_uint_32>(img.Height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fflush(f.get()) == 0;
}

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

}  // namespace

bool WriteBmp24(const std::string& path, const Image& img) {
  const std::uint32_t w = static_cast<std::uint32_t>(img.Width());
  const std::uint32_t h = static_cast<std::uint32_t>(img.Height());
  const std::uint32_t stride = (w * 3 + 3) / 4 * 4;
  const std::uint32_t data_size = stride * h;
  std::vector<std::uint8_t> b;
  b.reserve(54 + data_size);
  b.push_back('B');
  b.push_back('M');
  Put32(b, 54 + data_size);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, w);
  Put32(b, h);  // positive height: rows stored bottom-up
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);  // no compression
  Put32(b, data_size);
  Put32(b, 2835);  // 72 DPI
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  const std::vector<std::uint8_t> rgb = img.ToRgb8();
  for (std::uint32_t row = 0; row < h; ++row) {
    const std::uint32_t y = h - 1 - row;
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
      b.push_back(p[2]);
      b.push_back(p[1]);
      b.push_back(p[0]);
    }
    for (std::uint32_t pad = w * 3; pad < stride; ++pad) b.push_back(0);
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  return std::fwrite(b.data(), 1, b.size(), f.get()) == b.size() && std::fflush(f.get()) == 0;
}

Mask Sheared(const Mask& m, float k) {
  Mask out(m.Width() + static_cast<int>(std::ceil(k * m.Height())), m.Height());
  for (int y = 0; y < out.Height(); ++y) {
    const float shift = k * static_cast<float>(m.Height() - 1 - y);
    for (int x = 0; x < out.Width(); ++x) {
      const float sx = static_cast<float>(x) - shift;
      const int x0 = static_cast<int>(std::floor(sx));
      const float f = sx - static_cast<float>(x0);
      out.Ref(x, y) = m.At(x0, y) * (1.0f - f) + m.At(x0 + 1, y) * f;
    }
  }
  return out;
}

}  // namespace rv::assets
