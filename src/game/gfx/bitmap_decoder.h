#pragma once
// Device-independent bitmaps to surfaces: the PNG module's output and the BMP files.

#include <cstddef>
#include <cstdint>

#include "game/gfx/surface.h"

namespace rv {

// The size of the bitmap-information block: a 40-byte BITMAPINFOHEADER and 256 colour entries.
constexpr size_t kBitmapInfoSize = 1064;

// Turns a DIB (the header of `info`, its colour entries, and `byte_count` pixel bytes) into
// a surface. Bottom-up or top-down by the sign of the height; 8, 24 or 32 bits per pixel,
// uncompressed, rows padded to 4 bytes. Nothing in the header is trusted: any inconsistency
// gives an empty surface.
Surface DibToPicture(const uint8_t* pixels, int64_t byte_count, const uint8_t* info,
                     size_t info_size = kBitmapInfoSize);

// Reads an uncompressed BMP file (8, 24 or 32 bit, either row order); empty when the bytes
// are not such a picture.
Surface ReadBmp(const uint8_t* data, size_t size);

}  // namespace rv
