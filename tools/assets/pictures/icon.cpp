#include "pictures/icon.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "pictures/font.h"
#include "pictures/image.h"

namespace rv::assets {

namespace {

constexpr const char* kLatinBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kGothicFile = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// The title's colours (pictures.cpp): night blue, the gold letters, the player's blue.
constexpr Color kTileTop = Rgb(34, 56, 132);
constexpr Color kTileBottom = Rgb(8, 12, 32);
constexpr Color kRim = Rgb(110, 180, 255);
constexpr Color kOutlineTop = Rgb(110, 180, 255);
constexpr Color kOutlineBottom = Rgb(30, 70, 200);
constexpr Color kInnerNavy = Rgb(14, 20, 56);
constexpr Color kGoldTop = Rgb(255, 248, 200);
constexpr Color kGoldMiddle = Rgb(255, 206, 70);
constexpr Color kGoldLower = Rgb(255, 190, 50);
constexpr Color kGoldBottom = Rgb(230, 96, 20);
constexpr Color kPlayerBlue = Rgb(46, 112, 240);
constexpr Color kWhite = Rgb(255, 255, 255);

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

Color GoldAt(float t) {
  if (t < 0.5f) return Mix(kGoldTop, kGoldMiddle, t / 0.5f);
  return Mix(kGoldLower, kGoldBottom, (t - 0.5f) / 0.5f);
}

// The tile: a vertical night-blue gradient with a glow behind the letter and a light rim.
Mask PaintTile(Image& img, int size) {
  const float s = static_cast<float>(size);
  const float inset = 0.04f * s;
  const Mask tile = RoundRectMask(size, size, inset, inset, s - inset, s - inset, 0.18f * s);
  img.Paint(tile, 0, 0, [&](int x, int y) {
    const Color ground = Mix(kTileTop, kTileBottom, static_cast<float>(y) / s);
    const float dx = (static_cast<float>(x) - 0.5f * s) / (0.5f * s);
    const float dy = (static_cast<float>(y) - 0.4f * s) / (0.45f * s);
    const float glow = std::max(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
    return Mix(ground, Rgb(60, 96, 190), glow * glow * 0.6f);
  });
  const float rim = std::max(1.0f, 0.022f * s);
  const Mask inner = RoundRectMask(size, size, inset + rim, inset + rim, s - inset - rim,
                                   s - inset - rim, 0.18f * s - rim);
  img.Paint(tile.Minus(inner), 0, 0, kRim, 0.8f);
  return tile;
}

// The gold "R" of the logotype with its blue outline and dark inner line.
void PaintLetter(Image& img, const Font& font, int size) {
  const float s = static_cast<float>(size);
  const int pixel = static_cast<int>(std::lround(0.70f * s));
  const float outer_r = std::max(1.2f, 0.034f * s);
  const float inner_r = std::max(0.6f, 0.015f * s);
  const int pad = static_cast<int>(std::ceil(outer_r)) + 4;
  const Mask text = Sheared(CropToInk(font.Render("R", pixel, 0.008f * s)), 0.18f).Padded(pad);
  const Mask outer = text.Dilated(outer_r);
  const Mask inner = text.Dilated(inner_r);
  const Mask::Bounds ob = outer.InkBounds();
  const int ox = (size - ob.W()) / 2 - ob.x0;
  const int oy = static_cast<int>(std::lround(0.09f * s)) - ob.y0;
  const int drop = std::max(1, static_cast<int>(std::lround(0.02f * s)));
  img.Paint(outer.Shifted(drop, drop).Blurred(std::max(1, size / 128)), ox, oy, Rgb(2, 4, 12),
            0.85f);
  img.Paint(outer, ox, oy, [&](int, int y) {
    return Mix(kOutlineTop, kOutlineBottom, Clamp01((y - oy - ob.y0) / float(ob.H())));
  });
  img.Paint(inner, ox, oy, kInnerNavy);
  const Mask::Bounds tb = text.InkBounds();
  img.Paint(text, ox, oy,
            [&](int, int y) { return GoldAt(Clamp01((y - oy - tb.y0) / float(tb.H()))); });
  const int shine = std::max(1, static_cast<int>(std::lround(0.012f * s)));
  img.Paint(text.Minus(text.Shifted(0, shine)), ox, oy, kWhite, 0.35f);
}

// Four of the player's blocks in a row: what wins a round.
void PaintBlocks(Image& img, int size) {
  const float s = static_cast<float>(size);
  const float block = 0.125f * s;
  const float gap = 0.035f * s;
  const float left = 0.5f * (s - (4 * block + 3 * gap));
  const float top = 0.76f * s;
  const float bevel = std::max(1.0f, 0.02f * s);
  for (int i = 0; i < 4; ++i) {
    const float x0 = left + static_cast<float>(i) * (block + gap);
    const Mask face = RoundRectMask(size, size, x0, top, x0 + block, top + block, 0.12f * block);
    const Mask core = RoundRectMask(size, size, x0 + bevel, top + bevel, x0 + block - bevel,
                                    top + block - bevel, 0.08f * block);
    img.Paint(face, 0, 0, [&](int x, int y) {
      // Light from the upper left, as on the game's own blocks.
      const float t = Clamp01(((x - x0) + (y - top)) / (2.0f * block));
      return Mix(Mix(kPlayerBlue, kWhite, 0.55f), Mix(kPlayerBlue, Rgb(0, 0, 0), 0.55f), t);
    });
    img.Paint(core, 0, 0, [&](int, int y) {
      return Mix(Mix(kPlayerBlue, kWhite, 0.18f), Mix(kPlayerBlue, Rgb(0, 0, 0), 0.2f),
                 Clamp01((y - top) / block));
    });
  }
}

std::unique_ptr<Font> OpenLetterFont() {
  std::unique_ptr<Font> font = Font::Open("DejaVu Sans:bold", kLatinBoldFile);
  if (!font) font = Font::Open("IPAGothic", kGothicFile);
  if (!font) throw std::runtime_error("no face for the icon's letter found");
  return font;
}

}  // namespace

RgbaImage BuildIcon(int size) {
  if (size < 16) throw std::invalid_argument("icon size below 16");
  const std::unique_ptr<Font> font = OpenLetterFont();
  // The colour is painted over the tile's own colour everywhere, so the rim's partly
  // transparent pixels carry the tile's colour rather than a dark fringe.
  Image img(size, size, kTileBottom);
  const Mask tile = PaintTile(img, size);
  PaintLetter(img, *font, size);
  PaintBlocks(img, size);
  RgbaImage out{size, size, {}};
  const std::vector<std::uint8_t> rgb = img.ToRgb8();
  out.rgba.reserve(static_cast<std::size_t>(size) * size * 4);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::size_t i = (static_cast<std::size_t>(y) * size + x) * 3;
      out.rgba.insert(out.rgba.end(), {rgb[i], rgb[i + 1], rgb[i + 2]});
      out.rgba.push_back(static_cast<std::uint8_t>(std::lround(255.0f * Clamp01(tile.At(x, y)))));
    }
  }
  return out;
}

namespace {

// Only plain values live across the setjmp, so nothing can be clobbered by the longjmp.
bool WriteRgbaRows(std::FILE* f, png_uint_32 width, png_uint_32 height, png_bytepp rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, f);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePngRgba(const std::string& path, const RgbaImage& img) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  std::vector<png_bytep> rows(static_cast<std::size_t>(img.height));
  for (int y = 0; y < img.height; ++y) {
    rows[y] = const_cast<png_bytep>(img.rgba.data() + static_cast<std::size_t>(y) * img.width * 4);
  }
  return WriteRgbaRows(f.get(), static_cast<png_uint_32>(img.width),
                       static_cast<png_uint_32>(img.height), rows.data()) &&
         std::fflush(f.get()) == 0;
}

bool WriteIconTheme(const std::filesystem::path& theme_root, const std::string& name) {
  for (int size : kIconSizes) {
    const std::string dim = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = theme_root / "hicolor" / dim / "apps";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !WritePngRgba((folder / (name + ".png")).string(), BuildIcon(size))) return false;
  }
  return true;
}

}  // namespace rv::assets
