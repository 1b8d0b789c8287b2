#include "game/gfx/blit.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace rv {
namespace {

// Clips an unscaled copy to both surfaces; false when nothing is left.
bool ClipUnscaled(const Surface& dst, int& dx, int& dy, int& w, int& h, const Surface& src, int& sx,
                  int& sy) {
  if (w <= 0 || h <= 0) return false;
  int left = std::max({0, -dx, -sx});
  int top = std::max({0, -dy, -sy});
  dx += left, sx += left, w -= left;
  dy += top, sy += top, h -= top;
  w = std::min({w, dst.width() - dx, src.width() - sx});
  h = std::min({h, dst.height() - dy, src.height() - sy});
  return w > 0 && h > 0;
}

// A copy of the source rectangle when it lies in the destination surface itself, so that
// an overlapping copy reads the source as it was before.
const Surface& DetachIfSame(const Surface& dst, const Surface& src, int& sx, int& sy, int w, int h,
                            Surface& scratch) {
  if (&dst != &src) return src;
  scratch.Reset(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) scratch.Row(y)[x] = src.Pixel(sx + x, sy + y);
  }
  // Clipping has already limited the rectangle to the source, so every pixel is real.
  sx = sy = 0;
  return scratch;
}

// One channel of the blend. x = s a + d (255 - a) + 127 is at most 65152, so it fits 16
// bits, and (x + (x >> 8) + 1) >> 8 equals x / 255 over that whole range.
inline uint8_t BlendChannel(uint16_t s, uint16_t d, uint16_t a, uint16_t na) {
  uint16_t x = static_cast<uint16_t>(s * a + d * na + 127);
  return static_cast<uint8_t>((x + (x >> 8) + 1) >> 8);
}

inline uint32_t BlendLanes(uint32_t src, uint32_t dst, uint32_t a, uint32_t na) {
  uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    out |= static_cast<uint32_t>(BlendChannel((src >> shift) & 0xFF, (dst >> shift) & 0xFF,
                                              static_cast<uint16_t>(a), static_cast<uint16_t>(na)))
           << shift;
  }
  return out;
}

// A whole row, byte by byte in 16-bit arithmetic: the form the compiler turns into SIMD
// (the fades blend the full screen 27 times). The unused top byte stays 0 (0 x a + 0 x na).
__attribute__((target_clones("arch=x86-64-v4", "avx2", "default"))) void BlendRow(
    uint32_t* dst, const uint32_t* src, int n, uint16_t a) {
  auto* d = reinterpret_cast<uint8_t*>(dst);
  auto* s = reinterpret_cast<const uint8_t*>(src);
  const uint16_t na = static_cast<uint16_t>(255 - a);
  for (int i = 0; i < n * 4; ++i) d[i] = BlendChannel(s[i], d[i], a, na);
}

// Runs row(d, s, w) over the rows of an unscaled copy, clipped, reading from a copy of the
// source where the source is the destination itself.
template <typename RowFn>
void ForEachUnscaledRow(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx,
                        int sy, RowFn row) {
  if (!ClipUnscaled(dst, dx, dy, w, h, src, sx, sy)) return;
  Surface scratch;
  const Surface& from = DetachIfSame(dst, src, sx, sy, w, h, scratch);
  for (int y = 0; y < h; ++y) row(dst.Row(dy + y) + dx, from.Row(sy + y) + sx, w);
}

// Maps destination index i of a stretched span to its source index (nearest, centre sample).
inline int SampleIndex(int i, int src_len, int dst_len) {
  return static_cast<int>((2 * static_cast<int64_t>(i) + 1) * src_len /
                          (2 * static_cast<int64_t>(dst_len)));
}

// Walks every destination pixel of a stretched copy whose source pixel lies inside src.
template <typename PixelFn>
void ForEachStretched(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx,
                      int sy, int sw, int sh, PixelFn fn) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  int i0 = std::max(0, -dx), i1 = std::min(dw, dst.width() - dx);
  int j0 = std::max(0, -dy), j1 = std::min(dh, dst.height() - dy);
  if (i0 >= i1 || j0 >= j1) return;
  // The source column of every destination column, worked out once for all rows.
  std::vector<int> columns(static_cast<size_t>(i1 - i0));
  for (int i = i0; i < i1; ++i) columns[i - i0] = sx + SampleIndex(i, sw, dw);
  for (int j = j0; j < j1; ++j) {
    int y = sy + SampleIndex(j, sh, dh);
    if (y < 0 || y >= src.height()) continue;
    const uint32_t* srow = src.Row(y);
    uint32_t* drow = dst.Row(dy + j);
    for (int i = i0; i < i1; ++i) {
      int x = columns[i - i0];
      if (x < 0 || x >= src.width()) continue;
      drow[dx + i] = fn(srow[x], drow[dx + i]);
    }
  }
}

}  // namespace

uint32_t BlendPixel(uint32_t src, uint32_t dst, uint32_t alpha) {
  return BlendLanes(src, dst, alpha, 255 - alpha);
}

void BitBlt(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
            RasterOp op) {
  ForEachUnscaledRow(dst, dx, dy, w, h, src, sx, sy, [op](uint32_t* d, const uint32_t* s, int n) {
    switch (op) {
      case RasterOp::kSrcCopy:
        std::memcpy(d, s, static_cast<size_t>(n) * sizeof(uint32_t));
        break;
      case RasterOp::kSrcPaint:
        for (int x = 0; x < n; ++x) d[x] |= s[x];
        break;
      case RasterOp::kSrcAnd:
        for (int x = 0; x < n; ++x) d[x] &= s[x];
        break;
    }
  });
}

void TransparentBlt(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx,
                    int sy, int sw, int sh, uint32_t key_color) {
  Surface scratch;
  const Surface* from = &src;
  if (&dst == &src) {
    scratch = src;  // the whole surface: stretching may read any source pixel
    from = &scratch;
  }
  key_color &= 0x00FFFFFFu;
  ForEachStretched(dst, dx, dy, dw, dh, *from, sx, sy, sw, sh,
                   [key_color](uint32_t s, uint32_t d) { return s == key_color ? d : s; });
}

void AlphaBlend(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                int sw, int sh, int32_t blend_arg) {
  if ((static_cast<uint32_t>(blend_arg) & 0xFF00FFFFu) != 0) return;
  const uint32_t a = (static_cast<uint32_t>(blend_arg) >> 16) & 0xFFu;
  const uint32_t na = 255 - a;
  if (dw == sw && dh == sh) {
    // The unscaled case (every fade) runs as straight rows the compiler can vectorise.
    ForEachUnscaledRow(dst, dx, dy, dw, dh, src, sx, sy,
                       [a](uint32_t* d, const uint32_t* s, int n) {
                         BlendRow(d, s, n, static_cast<uint16_t>(a));
                       });
    return;
  }
  Surface scratch;
  const Surface* from = &src;
  if (&dst == &src) {
    scratch = src;
    from = &scratch;
  }
  ForEachStretched(dst, dx, dy, dw, dh, *from, sx, sy, sw, sh,
                   [a, na](uint32_t s, uint32_t d) { return BlendLanes(s, d, a, na); });
}

}  // namespace rv
