#include "game/gfx/bitmap_decoder.h"

#include <algorithm>
#include <cstring>

namespace rv {
namespace {

constexpr int kMaxSide = 16384;  // far beyond any picture of the game; stops absurd sizes

uint32_t ReadU32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

struct DibHeader {
  int width = 0;
  int height = 0;  // absolute
  bool bottom_up = true;
  int bits = 0;
  int palette_entries = 0;
  int64_t stride = 0;
};

// Checks a 40-byte header; false for anything this reader does not accept.
bool ParseHeader(const uint8_t* info, size_t info_size, DibHeader& h) {
  if (info == nullptr || info_size < 40) return false;
  uint32_t header_size = ReadU32(info);
  int32_t width = static_cast<int32_t>(ReadU32(info + 4));
  int32_t height = static_cast<int32_t>(ReadU32(info + 8));
  uint16_t planes = ReadU16(info + 12);
  uint16_t bits = ReadU16(info + 14);
  uint32_t compression = ReadU32(info + 16);
  uint32_t colours_used = ReadU32(info + 32);
  if (header_size < 40 || planes != 1 || compression != 0) return false;
  if (bits != 8 && bits != 24 && bits != 32) return false;
  if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide) {
    return false;
  }
  h.width = width;
  h.height = height < 0 ? -height : height;
  h.bottom_up = height > 0;
  h.bits = bits;
  h.stride = ((static_cast<int64_t>(width) * bits + 31) / 32) * 4;
  if (bits == 8) {
    if (colours_used > 256) return false;
    h.palette_entries = colours_used == 0 ? 256 : static_cast<int>(colours_used);
  }
  return true;
}

}  // namespace

Surface DibToPicture(const uint8_t* pixels, int64_t byte_count, const uint8_t* info,
                     size_t info_size) {
  DibHeader h;
  if (pixels == nullptr || !ParseHeader(info, info_size, h)) return {};
  if (byte_count < h.stride * h.height) return {};
  const uint8_t* palette = info + 40;
  if (h.bits == 8 && 40 + static_cast<size_t>(h.palette_entries) * 4 > info_size) return {};
  Surface out(h.width, h.height);
  for (int y = 0; y < h.height; ++y) {
    const uint8_t* row = pixels + h.stride * (h.bottom_up ? h.height - 1 - y : y);
    uint32_t* dst = out.Row(y);
    for (int x = 0; x < h.width; ++x) {
      const uint8_t* p = nullptr;
      if (h.bits == 8) {
        int index = row[x];
        // An index beyond the colour entries reads as black.
        if (index >= h.palette_entries) {
          dst[x] = 0;
          continue;
        }
        p = palette + index * 4;
      } else {
        p = row + x * (h.bits / 8);
      }
      dst[x] = (static_cast<uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
    }
  }
  return out;
}

Surface ReadBmp(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 14 + 40 || data[0] != 'B' || data[1] != 'M') return {};
  uint32_t pixel_offset = ReadU32(data + 10);
  uint32_t header_size = ReadU32(data + 14);
  if (header_size < 40 || header_size > size - 14 || pixel_offset > size) return {};
  // The header and the colour entries, laid out as the decoder's information block.
  uint8_t info[kBitmapInfoSize] = {};
  std::memcpy(info, data + 14, 40);
  size_t palette_at = 14 + header_size;
  if (palette_at < pixel_offset) {
    size_t palette_bytes = std::min<size_t>(pixel_offset - palette_at, 256 * 4);
    std::memcpy(info + 40, data + palette_at, palette_bytes);
  }
  return DibToPicture(data + pixel_offset, static_cast<int64_t>(size - pixel_offset), info,
                      sizeof info);
}

}  // namespace rv
