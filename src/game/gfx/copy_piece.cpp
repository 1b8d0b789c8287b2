#include "game/gfx/copy_piece.h"

#include <stdexcept>

namespace rv {

void CopyPiece(Surface& dst, int dx, int dy, const PictureSet& pictures, const rects::Rect& piece,
               RasterOp op) {
  const Surface* source = pictures.ByNumber(static_cast<int16_t>(piece.picture));
  if (source == nullptr) throw std::out_of_range("no such picture surface");
  BitBlt(dst, dx, dy, piece.w, piece.h, *source, piece.x, piece.y, op);
}

}  // namespace rv
