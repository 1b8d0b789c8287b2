#include "picture_reader.h"

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>

#include "pictures/pictures.h"

namespace rv::assets::testing {

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

PngInfo ReadPng(const std::filesystem::path& path) {
  PngInfo out;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!f) return out;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_read_struct(&png, &info, nullptr);
    return out;
  }
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return PngInfo{};
  }
  png_init_io(png, f.get());
  png_read_info(png, info);
  out.bit_depth = png_get_bit_depth(png, info);
  out.color_type = png_get_color_type(png, info);
  out.pixels.w = static_cast<int>(png_get_image_width(png, info));
  out.pixels.h = static_cast<int>(png_get_image_height(png, info));
  // Whatever the stored form, read back as 8-bit RGB.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  png_read_update_info(png, info);
  out.pixels.rgb.assign(static_cast<std::size_t>(out.pixels.w) * out.pixels.h * 3, 0);
  for (int y = 0; y < out.pixels.h; ++y)
    rows.push_back(out.pixels.rgb.data() + static_cast<std::size_t>(y) * out.pixels.w * 3);
  png_read_image(png, rows.data());
  png_read_end(png, info);
  png_timep t = nullptr;
  out.has_time = png_get_tIME(png, info, &t) != 0;
  png_destroy_read_struct(&png, &info, nullptr);
  out.ok = true;
  return out;
}

namespace {
std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
}  // namespace

BmpInfo ReadBmp(const std::filesystem::path& path) {
  BmpInfo out;
  const std::vector<std::uint8_t> b = ReadBytes(path);
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return out;
  const std::uint32_t offset = Le32(b, 10);
  const std::int32_t w = static_cast<std::int32_t>(Le32(b, 18));
  const std::int32_t h = static_cast<std::int32_t>(Le32(b, 22));
  out.bits = b[28] | (b[29] << 8);
  out.compression = Le32(b, 30);
  out.bottom_up = h > 0;
  if (w <= 0 || h == 0 || out.bits != 24 || out.compression != 0) return out;
  const int ah = h > 0 ? h : -h;
  const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
  if (Le32(b, 2) != b.size() || offset + stride * ah > b.size()) return out;
  out.pixels.w = w;
  out.pixels.h = ah;
  out.pixels.rgb.resize(static_cast<std::size_t>(w) * ah * 3);
  for (int row = 0; row < ah; ++row) {
    const int y = h > 0 ? ah - 1 - row : row;
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = &b[offset + row * stride + x * 3];
      std::uint8_t* q = &out.pixels.rgb[(static_cast<std::size_t>(y) * w + x) * 3];
      q[0] = p[2];
      q[1] = p[1];
      q[2] = p[0];
    }
  }
  out.ok = true;
  return out;
}

const std::filesystem::path& GeneratedFolder() {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("rv_assets_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    // Removed again when the test program ends.
    static const struct Cleanup {
      std::filesystem::path dir;
      ~Cleanup() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
      }
    } cleanup{dir};
    if (!WritePictureFiles(BuildPictures(), dir))
      throw std::runtime_error("cannot write the pictures");
    return dir;
  }();
  return folder;
}

std::filesystem::path PicturePath(const std::filesystem::path& folder,
                                  const rects::PictureFile& f) {
  return folder / "Picture" / (std::string(f.name) + ".dat");
}

const Pixels& Decoded(rects::Picture p) {
  static std::map<rects::Picture, Pixels> cache;
  auto it = cache.find(p);
  if (it != cache.end()) return it->second;
  const rects::PictureFile& f = rects::FileOf(p);
  const std::filesystem::path path = PicturePath(GeneratedFolder(), f);
  Pixels px = f.png ? ReadPng(path).pixels : ReadBmp(path).pixels;
  return cache.emplace(p, std::move(px)).first->second;
}

}  // namespace rv::assets::testing
