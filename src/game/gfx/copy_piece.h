#pragma once
// A piece of a picture, copied by its rectangle to a position: how every screen draws the
// pieces of its pictures. The rectangle names the picture it is cut from, so a piece can
// never be cut from the wrong sheet.

#include "game/gfx/blit.h"
#include "game/gfx/picture_rects.h"
#include "game/gfx/picture_set.h"
#include "game/gfx/surface.h"

namespace rv {

// The unscaled copy of `piece` from its picture to (dx, dy) of dst. Throws
// std::out_of_range for a rectangle naming no picture surface.
void CopyPiece(Surface& dst, int dx, int dy, const PictureSet& pictures, const rects::Rect& piece,
               RasterOp op = RasterOp::kSrcCopy);

}  // namespace rv
