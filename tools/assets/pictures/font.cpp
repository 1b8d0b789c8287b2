#include "pictures/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

namespace rv::assets {

struct Font::Impl {
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
  ~Impl() {
    if (face) FT_Done_Face(face);
    if (lib) FT_Done_FreeType(lib);
  }
};

namespace {

std::string MatchFile(const std::string& pattern) {
  std::string out;
  FcConfig* cfg = FcInitLoadConfigAndFonts();
  if (!cfg) return out;
  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
  if (pat) {
    FcConfigSubstitute(cfg, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res = FcResultNoMatch;
    FcPattern* match = FcFontMatch(cfg, pat, &res);
    if (match) {
      FcChar8* file = nullptr;
      FcChar8* family = nullptr;
      // Accept the match only when fontconfig found the family we asked for,
      // not a substitute that happens to be installed.
      const std::string wanted = pattern.substr(0, pattern.find(':'));
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
          FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
          wanted == reinterpret_cast<const char*>(family))
        out = reinterpret_cast<const char*>(file);
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
  }
  FcConfigDestroy(cfg);
  return out;
}

std::vector<char32_t> DecodeUtf8(const std::string& s) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
      out.push_back(U'?');
      ++i;
      continue;
    }
    char32_t cp = len == 1 ? c : c & (0x7F >> len);
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += len;
  }
  return out;
}

}  // namespace

std::unique_ptr<Font> Font::Open(const std::string& pattern, const std::string& fallback_file) {
  std::unique_ptr<Font> font(new Font());
  font->impl_ = std::make_unique<Impl>();
  if (FT_Init_FreeType(&font->impl_->lib) != 0) return nullptr;
  std::string file = MatchFile(pattern);
  if (file.empty() || !std::filesystem::exists(file)) file = fallback_file;
  if (FT_New_Face(font->impl_->lib, file.c_str(), 0, &font->impl_->face) != 0) return nullptr;
  font->file_ = file;
  return font;
}

Font::~Font() = default;

Mask Font::Render(const std::string& utf8, int pixel_size, float embolden) const {
  FT_Face face = impl_->face;
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_size));
  const int pad = static_cast<int>(std::ceil(embolden)) + 2;
  const int ascent = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
  const int descent = static_cast<int>(std::ceil(-face->size->metrics.descender / 64.0));
  const std::vector<char32_t> text = DecodeUtf8(utf8);
  const FT_Pos strength = static_cast<FT_Pos>(std::lround(embolden * 64.0f));

  // First pass measures, second pass draws.
  long pen = 0;
  std::vector<long> pens;
  for (char32_t cp : text) {
    pens.push_back(pen);
    if (FT_Load_Char(face, cp, FT_LOAD_NO_BITMAP) != 0) continue;
    pen += face->glyph->advance.x + strength;
  }
  const int width = static_cast<int>(std::ceil(pen / 64.0)) + 2 * pad;
  const int height = ascent + descent + 2 * pad;
  Mask m(width, height);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (FT_Load_Char(face, text[i], FT_LOAD_NO_BITMAP) != 0) continue;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && strength > 0) {
      FT_Outline_Embolden(&slot->outline, strength);
      // Keep the glyph's baseline: embolden grows in both directions.
      FT_Outline_Translate(&slot->outline, strength / 2, strength / 2);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) continue;
    const FT_Bitmap& bm = slot->bitmap;
    const int ox = pad + static_cast<int>(pens[i] / 64) + slot->bitmap_left;
    const int oy = pad + ascent - slot->bitmap_top;
    for (unsigned y = 0; y < bm.rows; ++y)
      for (unsigned x = 0; x < bm.width; ++x) {
        const int mx = ox + static_cast<int>(x), my = oy + static_cast<int>(y);
        if (mx < 0 || my < 0 || mx >= width || my >= height) continue;
        const float a = bm.buffer[y * bm.pitch + x] / 255.0f;
        m.Ref(mx, my) = std::min(1.0f, m.At(mx, my) + a);
      }
  }
  return m;
}

Mask CropToInk(const Mask& m) {
  const Mask::Bounds b = m.InkBounds();
  Mask out(std::max(b.W(), 0), std::max(b.H(), 0));
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) out.Ref(x, y) = m.At(b.x0 + x, b.y0 + y);
  return out;
}

}  // namespace rv::assets
