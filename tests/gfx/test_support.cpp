#include "test_support.h"

#include <png.h>

#include <fstream>
#include <map>
#include <stdexcept>

namespace rv::test {

void RecordingPlatform::Present(FrameView frame) {
  present_times.push_back(now);
  now += present_cost_ms;
  frames.emplace_back(frame.pixels, frame.pixels + static_cast<size_t>(frame.width) * frame.height);
}

Surface PatternSurface(int width, int height, uint32_t seed) {
  Surface s(width, height);
  uint32_t state = seed * 2654435761u + 12345u;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      s.SetPixel(x, y, state >> 8);
    }
  }
  return s;
}

namespace {
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
}  // namespace

std::vector<uint8_t> MakeBmp(const Surface& picture, int bits, bool top_down) {
  const int w = picture.width(), h = picture.height();
  const size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
  std::map<uint32_t, int> palette;
  if (bits == 8) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) palette.emplace(picture.Pixel(x, y), 0);
    int i = 0;
    for (auto& [colour, index] : palette) index = i++;
  }
  const size_t palette_bytes = bits == 8 ? 256 * 4 : 0;
  const size_t offset = 14 + 40 + palette_bytes;
  std::vector<uint8_t> f(offset + stride * h, 0);
  f[0] = 'B', f[1] = 'M';
  Put32(f, 2, static_cast<uint32_t>(f.size()));
  Put32(f, 10, static_cast<uint32_t>(offset));
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<uint32_t>(w));
  Put32(f, 22, static_cast<uint32_t>(top_down ? -h : h));
  f[26] = 1;
  f[28] = static_cast<uint8_t>(bits);
  for (auto& [colour, index] : palette) Put32(f, 54 + index * 4, colour);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = &f[offset + stride * (top_down ? y : h - 1 - y)];
    for (int x = 0; x < w; ++x) {
      uint32_t c = picture.Pixel(x, y);
      if (bits == 8) {
        row[x] = static_cast<uint8_t>(palette[c]);
      } else {
        uint8_t* p = row + x * (bits / 8);
        p[0] = c & 0xFF, p[1] = (c >> 8) & 0xFF, p[2] = (c >> 16) & 0xFF;
        if (bits == 32) p[3] = 0x5A;  // whatever the file says, the game ignores it
      }
    }
  }
  return f;
}

std::vector<uint8_t> MakePng(const Surface& picture, int color_type, int bit_depth,
                             bool interlaced) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) throw std::runtime_error("png write failed");
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t n) {
        auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        v->insert(v->end(), data, data + n);
      },
      nullptr);
  const int w = picture.width(), h = picture.height();
  png_set_IHDR(png, info, w, h, bit_depth, color_type,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::map<uint32_t, int> palette;
  if (color_type == PNG_COLOR_TYPE_PALETTE) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) palette.emplace(picture.Pixel(x, y), 0);
    std::vector<png_color> entries;
    for (auto& [c, index] : palette) {
      index = static_cast<int>(entries.size());
      entries.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                         static_cast<png_byte>(c)});
    }
    png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
  }
  png_write_info(png, info);
  const int channels = color_type == PNG_COLOR_TYPE_RGB_ALPHA    ? 4
                       : color_type == PNG_COLOR_TYPE_RGB        ? 3
                       : color_type == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                 : 1;
  const int bytes = bit_depth / 8;
  std::vector<std::vector<uint8_t>> rows(h, std::vector<uint8_t>(w * channels * bytes));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c = picture.Pixel(x, y);
      uint8_t rgb[3] = {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                        static_cast<uint8_t>(c)};
      uint8_t values[4] = {rgb[0], rgb[1], rgb[2], 0x80};
      if (color_type == PNG_COLOR_TYPE_PALETTE) values[0] = static_cast<uint8_t>(palette[c]);
      if (color_type == PNG_COLOR_TYPE_GRAY || color_type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        values[0] = rgb[1];
        values[1] = 0x80;
      }
      for (int k = 0; k < channels; ++k) {
        for (int b = 0; b < bytes; ++b) rows[y][(x * channels + k) * bytes + b] = values[k];
      }
    }
  }
  std::vector<png_bytep> pointers;
  for (auto& r : rows) pointers.push_back(r.data());
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

void WriteFile(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace rv::test
