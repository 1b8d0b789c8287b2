#pragma once
// The copies every screen draws with, written once. All of them clip at every edge of the
// source and the destination: pixels that would be read or written outside a surface are
// skipped, and a zero or negative size draws nothing. Source and destination may be the same
// surface, even overlapping (the source rectangle is read as it was before the copy).

#include <cstdint>

#include "game/gfx/surface.h"

namespace rv {

enum class RasterOp {
  kSrcCopy,   // dest = src
  kSrcPaint,  // dest = dest OR src
  kSrcAnd,    // dest = dest AND src
};

// The unscaled raster copy of w x h pixels from (sx, sy) of src to (dx, dy) of dst.
void BitBlt(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
            RasterOp op = RasterOp::kSrcCopy);

// Colour-keyed copy: the source rectangle sw x sh is stretched to dw x dh by nearest sampling
// (dest pixel i takes source sx + ((2i + 1) sw) / (2 dw), the source pixel under its centre);
// source pixels of the key colour leave the destination as it was.
void TransparentBlt(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx,
                    int sy, int sw, int sh, uint32_t key_color);

// Constant-alpha blend with the same stretching. blend_arg is the packed blend description
// (Alpha x 65536: operation 0, flags 0, constant alpha in byte 2, no per-pixel alpha); any
// other packing is refused and draws nothing, as the platform's blend would.
// Per channel: dest = (src x A + dest x (255 - A) + 127) / 255, integer division, i.e. the
// exact value src x a + dest x (1 - a) with a = A / 255 rounded to nearest (halves cannot
// occur). A = 255 gives exactly src, A = 0 exactly dest.
void AlphaBlend(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                int sw, int sh, int32_t blend_arg);

// One pixel of the blend above, for reference and for drawing single pixels.
uint32_t BlendPixel(uint32_t src, uint32_t dst, uint32_t alpha);

}  // namespace rv
