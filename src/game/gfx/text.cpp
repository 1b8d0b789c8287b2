#include "game/gfx/text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>

#include "game/gfx/blit.h"

namespace rv {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[i], advancing i; malformed bytes give U+FFFD.
char32_t NextCodePoint(std::string_view text, size_t& i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i++);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead < 0xF8 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
  if (extra < 0 || lead >= 0xF8) return kReplacement;
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (byte(i) & 0xC0) != 0x80) return kReplacement;
    cp = (cp << 6) | (byte(i++) & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  return cp;
}

// C0 controls and DEL: no glyph of their own, and a box drawn for them would be noise.
bool IsControl(char32_t cp) { return cp < 0x20 || cp == 0x7F; }

// The file of fontconfig's best match for the pattern, or empty when the pattern does not
// parse or `accept` refuses the match: fontconfig always answers with something.
template <typename Accept>
std::string MatchFont(FcConfig* config, const char* pattern_text, Accept accept) {
  std::string found;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(pattern_text));
  if (pattern == nullptr) return found;
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  if (match != nullptr) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && accept(match)) {
      found = reinterpret_cast<const char*>(file);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return found;
}

// The file of the first pattern match that covers Japanese, or empty.
std::string MatchJapanese(FcConfig* config, const char* pattern_text) {
  return MatchFont(config, pattern_text, [](FcPattern* match) {
    FcLangSet* langs = nullptr;
    return FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
           FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
  });
}

std::string FindJapaneseGothic() {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) return {};
  std::string file = MatchJapanese(config, "IPAGothic:lang=ja");
  if (file.empty()) file = MatchJapanese(config, "sans-serif:lang=ja");
  FcConfigDestroy(config);
  return file;
}

// The file of the family asked for ("DejaVu Sans:bold"), or empty when fontconfig would
// answer with a substitute: another family would not match the pictures.
std::string FindFamily(const char* pattern_text) {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) return {};
  const std::string_view text(pattern_text);
  const std::string_view wanted = text.substr(0, text.find(':'));
  std::string found = MatchFont(config, pattern_text, [wanted](FcPattern* match) {
    FcChar8* family = nullptr;
    return FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
           wanted == reinterpret_cast<const char*>(family);
  });
  FcConfigDestroy(config);
  return found;
}

}  // namespace

bool NeedsJapaneseFace(std::string_view utf8) {
  for (size_t i = 0; i < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, i);
    if ((cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
        (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFF00 && cp <= 0xFFEF) || cp >= 0x20000) {
      return true;
    }
  }
  return false;
}

// One loaded face and the pixel size it is set to.
struct LoadedFace {
  FT_Face face = nullptr;
  int size_px = 0;
  bool synthetic_bold = true;  // a regular cut emboldened by FreeType when bold

  void SetSize(int px) {
    if (px != size_px && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(px)) == 0) size_px = px;
  }
};

struct TextRenderer::Impl {
  FT_Library library = nullptr;
  LoadedFace japanese;
  LoadedFace latin;
  LoadedFace latin_bold;
  LoadedFace* current = &japanese;

  ~Impl() {
    for (LoadedFace* f : {&japanese, &latin, &latin_bold}) {
      if (f->face != nullptr) FT_Done_Face(f->face);
    }
    if (library != nullptr) FT_Done_FreeType(library);
  }

  bool Load(LoadedFace& into, const std::string& file) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), 0, &face) != 0) return false;
    if (!FT_IS_SCALABLE(face)) {
      FT_Done_Face(face);
      return false;
    }
    into.face = face;
    into.SetSize(16);
    return true;
  }

  // Chooses the face of the state and sets its size; without the Latin faces, the
  // Japanese face (which has Latin letters too) prints everything.
  FT_Face Use(const TextState& state) {
    current = &japanese;
    if (state.face == TextFace::kLatin && latin.face != nullptr) {
      current = state.FontBold && latin_bold.face != nullptr ? &latin_bold : &latin;
    }
    current->SetSize(state.font_px);
    return current->face;
  }

  // One pixel of emboldening per 16 px of face size, in 26.6 units.
  static FT_Pos BoldStrength(int px) { return std::max<FT_Pos>(64, px * 4); }

  // Loads and (for drawing) renders a glyph of the current face; false when it has none
  // to draw. A bold cut of its own is drawn as it is.
  bool LoadGlyph(char32_t cp, bool bold, bool render) {
    FT_Face face = current->face;
    FT_UInt index = FT_Get_Char_Index(face, cp);
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (bold && current->synthetic_bold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Pos strength = BoldStrength(current->size_px);
      FT_Outline_Embolden(&slot->outline, strength);
      slot->advance.x += strength;
    }
    if (render && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    return true;
  }
};

TextRenderer::TextRenderer(std::unique_ptr<Impl> impl, std::filesystem::path file)
    : impl_(std::move(impl)), file_(std::move(file)) {}

TextRenderer::~TextRenderer() = default;

std::unique_ptr<TextRenderer> TextRenderer::Open(std::string* error) {
  std::string file = FindJapaneseGothic();
  if (file.empty()) {
    if (error != nullptr) {
      *error = "no Japanese face found (IPAGothic: fonts-ipafont-gothic)";
    }
    return nullptr;
  }
  std::unique_ptr<TextRenderer> text = OpenFile(file, error);
  if (text) text->OpenLatinFiles(FindFamily("DejaVu Sans"), FindFamily("DejaVu Sans:bold"));
  return text;
}

std::unique_ptr<TextRenderer> TextRenderer::OpenFile(const std::filesystem::path& file,
                                                     std::string* error) {
  auto impl = std::make_unique<Impl>();
  if (FT_Init_FreeType(&impl->library) != 0 || !impl->Load(impl->japanese, file.string())) {
    if (error != nullptr) *error = "cannot load the face " + file.string();
    return nullptr;
  }
  return std::unique_ptr<TextRenderer>(new TextRenderer(std::move(impl), file));
}

bool TextRenderer::OpenLatinFiles(const std::filesystem::path& regular,
                                  const std::filesystem::path& bold) {
  Impl& impl = *impl_;
  for (LoadedFace* f : {&impl.latin, &impl.latin_bold}) {
    if (f->face != nullptr) FT_Done_Face(f->face);
    *f = LoadedFace{};
  }
  impl.current = &impl.japanese;
  if (regular.empty() || !impl.Load(impl.latin, regular.string())) return false;
  if (!bold.empty() && impl.Load(impl.latin_bold, bold.string())) {
    impl.latin_bold.synthetic_bold = false;
  }
  return true;
}

bool TextRenderer::HasLatinFace() const { return impl_->latin.face != nullptr; }

int TextRenderer::LineHeight(int font_px) {
  TextState state;
  state.font_px = font_px;
  return static_cast<int>((impl_->Use(state)->size->metrics.height + 63) / 64);
}

int TextRenderer::TextWidth(const TextState& state, std::string_view utf8) {
  FT_Face face = impl_->Use(state);
  FT_Pos pen = 0;
  for (size_t i = 0; i < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, i);
    if (!IsControl(cp) && impl_->LoadGlyph(cp, state.FontBold, false)) {
      pen += face->glyph->advance.x;
    }
  }
  return static_cast<int>((pen + 32) / 64);
}

void TextRenderer::Print(Surface& target, std::string_view utf8, const TextSpace* space) {
  if (printed_ != nullptr) printed_->emplace_back(utf8);
  TextState& state = target.text();
  FT_Face face = impl_->Use(state);
  const int baseline = state.CurrentY + static_cast<int>((face->size->metrics.ascender + 63) / 64);
  const uint32_t color = state.ForeColor & 0x00FFFFFFu;
  FT_Pos pen = static_cast<FT_Pos>(state.CurrentX) * 64;
  for (size_t i = 0; i < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, i);
    if (IsControl(cp) || !impl_->LoadGlyph(cp, state.FontBold, true)) continue;
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    const int left = static_cast<int>(pen / 64) + slot->bitmap_left;
    const int top = baseline - slot->bitmap_top;
    for (unsigned row = 0; row < bm.rows; ++row) {
      const unsigned char* cover = bm.buffer + static_cast<ptrdiff_t>(row) * bm.pitch;
      const int y = top + static_cast<int>(row);
      for (unsigned col = 0; col < bm.width; ++col) {
        const int x = left + static_cast<int>(col);
        if (cover[col] == 0 || !target.Contains(x, y)) continue;
        if (space != nullptr && !space->Contains(x, y)) continue;
        target.SetPixel(x, y, BlendPixel(color, target.Pixel(x, y), cover[col]));
      }
    }
    pen += slot->advance.x;
  }
  state.CurrentX = 0;
  state.CurrentY += static_cast<int>((face->size->metrics.height + 63) / 64);
}

namespace {

void ShadowedPrint(TextRenderer& text, Surface& target, int x, int y, std::string_view str,
                   int16_t bold, uint32_t face_color, const TextSpace* space) {
  TextState& state = target.text();
  if (bold == -1) state.FontBold = true;
  state.ForeColor = 0x000000;
  state.CurrentX = x + 1;
  state.CurrentY = y + 1;
  text.Print(target, str, space);
  state.ForeColor = face_color;
  state.CurrentX = x;
  state.CurrentY = y;
  text.Print(target, str, space);
  state.FontBold = false;
}

}  // namespace

void DrawShadowText(TextRenderer& text, Surface& game_screen, Surface& pic_memory, int16_t x,
                    int16_t y, std::string_view str, int16_t bold, int16_t on_screen,
                    const TextSpace* space) {
  ShadowedPrint(text, on_screen == 1 ? game_screen : pic_memory, x, y, str, bold, 0xFFFFFF, space);
}

void DrawColorText(TextRenderer& text, Surface& game_screen, int16_t x, int16_t y, int red,
                   int green, int blue, std::string_view str, int16_t bold,
                   const TextSpace* space) {
  auto channel = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
  ShadowedPrint(text, game_screen, x, y, str, bold,
                (channel(red) << 16) | (channel(green) << 8) | channel(blue), space);
}

}  // namespace rv
