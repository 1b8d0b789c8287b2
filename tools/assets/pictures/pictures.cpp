#include "pictures/pictures.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "game/gfx/numbered_word.h"
#include "game/gfx/picture_path.h"
#include "lang/catalogue.h"
#include "pictures/font.h"

namespace rv::assets {

using rects::Picture;
using rects::Rect;

namespace {

// ---- Palette: night blue ground, gold for what is chosen, blue and red for
// the two sides. ----------------------------------------------------------
constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kNavyDeep = Rgb(10, 14, 34);
constexpr Color kNavy = Rgb(24, 38, 92);
constexpr Color kOutlineNavy = Rgb(18, 30, 84);
constexpr Color kGoldTop = Rgb(255, 248, 200);
constexpr Color kGoldBottom = Rgb(255, 168, 36);
constexpr Color kGoldOutline = Rgb(140, 64, 8);
constexpr Color kIceTop = Rgb(255, 255, 255);
constexpr Color kIceBottom = Rgb(150, 200, 255);
constexpr Color kBlueOutline = Rgb(30, 70, 190);
constexpr Color kDimTop = Rgb(190, 198, 220);
constexpr Color kDimBottom = Rgb(120, 132, 165);
constexpr Color kDimOutline = Rgb(26, 32, 58);
// The two sides differ in lightness as much as in hue, so that they stay apart for
// players who cannot tell red from blue: the player's block is the light one, the
// CPU's the dark one, and both stand at least 3:1 from the board.
constexpr Color kPlayerBlue = Rgb(96, 132, 232);
constexpr Color kCpuRed = Rgb(192, 50, 46);

constexpr const char* kGothicFile = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr const char* kLatinBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kLatinFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kNarrowFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf";
constexpr const char* kNarrowBoldFile =
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";

struct Fonts {
  std::unique_ptr<Font> gothic;
  std::unique_ptr<Font> latin;           // bold Latin face for the logotype and numbers
  std::unique_ptr<Font> latin_regular;   // Latin words where the Japanese is not bold
  std::unique_ptr<Font> narrow_regular;  // condensed regular face for long Latin words
  std::unique_ptr<Font> narrow;          // condensed bold face for the 15-px time digits
};

Fonts OpenFonts() {
  Fonts f;
  f.gothic = Font::Open("IPAGothic", kGothicFile);
  if (!f.gothic) throw std::runtime_error("no Japanese Gothic face (IPAGothic) found");
  f.latin = Font::Open("DejaVu Sans:bold", kLatinBoldFile);
  if (!f.latin) f.latin = Font::Open("IPAGothic", kGothicFile);
  if (!f.latin) throw std::runtime_error("no Latin face found");
  f.latin_regular = Font::Open("DejaVu Sans", kLatinFile);
  if (!f.latin_regular) f.latin_regular = Font::Open("IPAGothic", kGothicFile);
  if (!f.latin_regular) throw std::runtime_error("no regular Latin face found");
  f.narrow = Font::Open("DejaVu Sans Condensed:bold", kNarrowBoldFile);
  if (!f.narrow) f.narrow = Font::Open("DejaVu Sans:bold", kLatinBoldFile);
  if (!f.narrow) f.narrow = Font::Open("IPAGothic", kGothicFile);
  if (!f.narrow) throw std::runtime_error("no face for the time digits found");
  f.narrow_regular = Font::Open("DejaVu Sans Condensed", kNarrowFile);
  if (!f.narrow_regular) f.narrow_regular = Font::Open("DejaVu Sans", kLatinFile);
  if (!f.narrow_regular) throw std::runtime_error("no condensed Latin face found");
  return f;
}

Color Scale(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }

// ---- Text pieces ---------------------------------------------------------

struct TextStyle {
  int size = 20;
  float bold = 0.0f;
  Color top = kWhite;
  Color bottom = kWhite;
  Color outline = kOutlineNavy;
  float outline_radius = 1.5f;
  Color shadow = kBlack;
  int shadow_offset = 0;  // 0: no shadow
};

// A style of its size, weight, gradient and outline, without a shadow.
TextStyle Lettering(int size, float bold, Color top, Color bottom, Color outline,
                    float outline_radius) {
  return {.size = size,
          .bold = bold,
          .top = top,
          .bottom = bottom,
          .outline = outline,
          .outline_radius = outline_radius};
}

enum class Align { kLeft, kCenter, kRight };

struct TextPlacement {
  Align align = Align::kCenter;
  int margin = 2;               // ink-free border inside the area
  std::optional<int> bottom;    // row (relative) the fill's ink ends on
  std::optional<int> center_x;  // relative column of the ink centre
  std::optional<int> center_y;  // relative row of the ink centre
};

// The painted layers of one text, on a canvas of their own.
struct TextLayers {
  Mask fill, outline, shadow;
  Mask::Bounds all;   // bounds of everything painted
  Mask::Bounds face;  // bounds of the fill
};

TextLayers MakeLayers(const Font& font, const std::string& text, const TextStyle& st) {
  const int pad = static_cast<int>(std::ceil(st.outline_radius)) + st.shadow_offset + 2;
  TextLayers l;
  l.fill = CropToInk(font.Render(text, st.size, st.bold)).Padded(pad);
  l.outline = st.outline_radius > 0 ? l.fill.Dilated(st.outline_radius)
                                    : Mask(l.fill.Width(), l.fill.Height());
  l.shadow = st.shadow_offset > 0 ? l.outline.Shifted(st.shadow_offset, st.shadow_offset)
                                  : Mask(l.fill.Width(), l.fill.Height());
  Mask all(l.fill.Width(), l.fill.Height());
  for (int y = 0; y < all.Height(); ++y)
    for (int x = 0; x < all.Width(); ++x)
      all.Ref(x, y) = std::max({l.fill.At(x, y), l.outline.At(x, y), l.shadow.At(x, y)});
  l.all = all.InkBounds();
  l.face = l.fill.InkBounds();
  return l;
}

void PaintLayers(Image& img, const TextLayers& l, int ox, int oy, const TextStyle& st) {
  if (st.shadow_offset > 0) img.Paint(l.shadow, ox, oy, st.shadow, 0.85f);
  if (st.outline_radius > 0) img.Paint(l.outline, ox, oy, st.outline);
  const float top = static_cast<float>(oy + l.face.y0);
  const float span = std::max(1.0f, static_cast<float>(l.face.H() - 1));
  img.Paint(l.fill, ox, oy, [&](int, int y) {
    return Mix(st.top, st.bottom, std::clamp((y - top) / span, 0.0f, 1.0f));
  });
}

// The largest size, at most the style's, at which DrawText fits the text into area; 0 when
// none does.
int FitSize(const Font& font, const std::string& text, TextStyle st, const Rect& area, int margin) {
  for (; st.size >= 6; --st.size) {
    const TextLayers l = MakeLayers(font, text, st);
    if (l.all.W() <= area.w - 2 * margin && l.all.H() <= area.h - 2 * margin) return st.size;
  }
  return 0;
}

// What a text became: the size it was drawn at.
struct Painted {
  int size = 0;
};

// Draws text inside area (picture coordinates), shrinking it until the whole
// painted text keeps `margin` pixels off every edge of the area.
Painted DrawText(Image& img, const Font& font, const std::string& text, TextStyle st,
                 const Rect& area, const TextPlacement& place = {}) {
  for (; st.size >= 6; --st.size) {
    const TextLayers l = MakeLayers(font, text, st);
    const int inner_w = area.w - 2 * place.margin, inner_h = area.h - 2 * place.margin;
    if (l.all.W() > inner_w || l.all.H() > inner_h) continue;
    // Horizontal placement of the painted text (relative to the area).
    int rx;
    if (place.center_x)
      rx = *place.center_x - (l.face.x0 + l.face.x1) / 2 + l.all.x0;
    else if (place.align == Align::kLeft)
      rx = place.margin;
    else if (place.align == Align::kRight)
      rx = area.w - place.margin - l.all.W();
    else
      rx = (area.w - l.all.W()) / 2;
    // Vertical placement.
    int ry;
    if (place.bottom)
      ry = *place.bottom - (l.face.y1 - 1 - l.all.y0);
    else if (place.center_y)
      ry = *place.center_y - (l.face.y0 + l.face.y1) / 2 + l.all.y0;
    else
      ry = (area.h - l.all.H()) / 2;
    rx = std::clamp(rx, place.margin, area.w - place.margin - l.all.W());
    ry = std::clamp(ry, place.margin, area.h - place.margin - l.all.H());
    PaintLayers(img, l, area.x + rx - l.all.x0, area.y + ry - l.all.y0, st);
    return {st.size};
  }
  throw std::runtime_error("text does not fit its rectangle: " + text);
}

// ---- Words ----------------------------------------------------------------------

// Whether the text needs the Japanese face: any ideograph, kana, Hangul or full-width form.
// Everything else (Latin, and the digits and signs around it) is set in DejaVu Sans.
bool NeedsCjkFace(const std::string& utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t cp = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len && i + k < utf8.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    if ((cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
        (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFF00 && cp <= 0xFFEF) || cp >= 0x20000)
      return true;
    i += static_cast<std::size_t>(len);
  }
  return false;
}

// Draws the words of the pictures in the chosen language, and keeps the list of them.
class WordPen {
 public:
  WordPen(const Fonts& fonts, const WordChoice& choice, std::vector<DrawnWord>& drawn)
      : fonts_(fonts), choice_(choice), drawn_(drawn) {}

  std::string Tr(const char* japanese) const {
    return choice_.catalogue ? choice_.catalogue->Tr(japanese) : std::string(japanese);
  }

  // The word of a pattern with %1 ("%1位"): the number's own picture stands on the side
  // the pattern gives.
  NumberedWord Numbered(const char* pattern) const {
    const std::optional<NumberedWord> w = SplitNumbered(Tr(pattern));
    if (!w) throw std::runtime_error(std::string("no single word beside %1 in: ") + Tr(pattern));
    return *w;
  }

  // Japanese words in the Gothic face; other scripts in DejaVu Sans, bold where the
  // Japanese is emboldened.
  const Font& FaceFor(const std::string& text, bool bold) const {
    if (NeedsCjkFace(text)) return *fonts_.gothic;
    return bold ? *fonts_.latin : *fonts_.latin_regular;
  }

  // Draws `text` (already in the language) into area; owner is the rectangle the screens
  // copy, which the word must never leave.
  void Draw(Image& img, const char* japanese, const std::string& text, const TextStyle& st,
            const Rect& owner, const Rect& area, const TextPlacement& place = {}) {
    DrawnWord& w = Record(japanese, text, owner, st.size);
    if (!w.drawn) return;
    const Font& face = FittingFace(text, st, area, place, &w.condensed);
    w.size = DrawText(img, face, text, st, area, place).size;
  }

  // Draws the word of a numbered pattern ("%1位") alone into `area`, which the screens copy
  // whole; they draw the number before it, so the language must put the word after it.
  void DrawWordAfterNumber(Image& img, const char* pattern, const TextStyle& st, const Rect& area,
                           const TextPlacement& place) {
    const NumberedWord w = Numbered(pattern);
    if (!w.number_first) {
      throw std::runtime_error(std::string("the word of '") + pattern + "' must follow its number");
    }
    Draw(img, pattern, w.word, st, area, area, place);
  }

  // One word of a set that shares a role (the difficulty's names, shown one at a time in
  // the same place).
  struct Alike {
    const char* japanese;
    TextStyle style;
    Rect area;
  };
  // Draws the set at the largest size every one of them fits at, so that none looks
  // smaller than the others; each fills its own area (the screens copy it whole).
  void DrawAlike(Image& img, const std::vector<Alike>& set, const TextPlacement& place) {
    int size = 1 << 20;
    std::vector<const Font*> faces;
    std::vector<bool> condensed;
    for (const Alike& a : set) {
      const std::string text = Tr(a.japanese);
      bool narrow = false;
      faces.push_back(&FittingFace(text, a.style, a.area, place, &narrow));
      condensed.push_back(narrow);
      size = std::min(size, FitSize(*faces.back(), text, a.style, a.area, place.margin));
    }
    for (std::size_t i = 0; i < set.size(); ++i) {
      const Alike& a = set[i];
      TextStyle st = a.style;
      // Japanese keeps each word at the size its style asks for, as it always was.
      if (choice_.catalogue) st.size = std::min(st.size, size);
      const std::string text = Tr(a.japanese);
      DrawnWord& w = Record(a.japanese, text, a.area, a.style.size);
      if (!w.drawn) continue;
      w.condensed = condensed[i];
      w.size = DrawText(img, *faces[i], text, st, a.area, place).size;
    }
  }

  // The face the text is drawn in: a Latin word that would shrink well below its
  // neighbours' size is set condensed instead, when that keeps it larger.
  const Font& FittingFace(const std::string& text, const TextStyle& st, const Rect& area,
                          const TextPlacement& place, bool* condensed) const {
    const Font& face = FaceFor(text, st.bold > 0);
    if (NeedsCjkFace(text)) return face;
    const int wide = FitSize(face, text, st, area, place.margin);
    if (wide >= st.size * 85 / 100) return face;
    const Font& narrow = st.bold > 0 ? *fonts_.narrow : *fonts_.narrow_regular;
    if (FitSize(narrow, text, st, area, place.margin) <= wide) return face;
    *condensed = true;
    return narrow;
  }
  void Draw(Image& img, const char* japanese, const TextStyle& st, const Rect& owner,
            const Rect& area, const TextPlacement& place = {}) {
    Draw(img, japanese, Tr(japanese), st, owner, area, place);
  }

  // Adds the word to the list; whether it is drawn depends on the choice. An empty word
  // (a language that needs none there) is listed and never drawn.
  DrawnWord& Record(const char* japanese, const std::string& text, const Rect& owner, int size) {
    const int index = static_cast<int>(drawn_.size());
    const bool draw = !text.empty() && (choice_.only == WordChoice::kAll || choice_.only == index);
    drawn_.push_back({owner, japanese, text, size, 0, draw, false});
    return drawn_.back();
  }

 private:
  const Fonts& fonts_;
  const WordChoice& choice_;
  std::vector<DrawnWord>& drawn_;
};

// ---- Shapes ----------------------------------------------------------------

Mask TriangleMask(int w, int h, std::pair<float, float> a, std::pair<float, float> b,
                  std::pair<float, float> c) {
  return PolygonMask(w, h, {a, b, c});
}

// A bevelled gold triangle drawn inside area.
void DrawArrow(Image& img, const Rect& area, std::pair<float, float> a, std::pair<float, float> b,
               std::pair<float, float> c) {
  const Mask fill = TriangleMask(area.w, area.h, a, b, c);
  const Mask outline = fill.Dilated(1.5f);
  img.Paint(outline, area.x, area.y, kGoldOutline);
  const Mask::Bounds fb = fill.InkBounds();
  const float top = static_cast<float>(area.y + fb.y0),
              span = static_cast<float>(std::max(1, fb.H() - 1));
  img.Paint(fill, area.x, area.y,
            [&](int, int y) { return Mix(kGoldTop, kGoldBottom, (y - top) / span); });
}

// A rounded plate with a vertical gradient and a light rim.
void DrawPlate(Image& img, const Rect& area, Color top, Color bottom, Color rim, float radius) {
  const Mask outer =
      RoundRectMask(area.w, area.h, 1.0f, 1.0f, area.w - 1.0f, area.h - 1.0f, radius);
  const Mask inner =
      RoundRectMask(area.w, area.h, 2.5f, 2.5f, area.w - 2.5f, area.h - 2.5f, radius - 1.5f);
  img.Paint(outer, area.x, area.y, rim);
  const float y0 = static_cast<float>(area.y), span = static_cast<float>(area.h);
  img.Paint(inner, area.x, area.y, [&](int, int y) {
    const float t = (y - y0) / span;
    // A glassy step in the upper half.
    const Color base = Mix(top, bottom, t);
    return t < 0.45f ? Mix(base, kWhite, 0.12f) : base;
  });
}

// ---- Block chips -------------------------------------------------------------

// Each side's mark, so that the sides never depend on colour alone: a ring on the
// player's block and a saltire (an X) on the CPU's.
enum class ChipMotif { kRing, kCross };

bool InMotif(ChipMotif motif, int x, int y) {
  const float dx = x - 7.5f, dy = y - 7.5f;
  if (motif == ChipMotif::kRing) {
    const float r = std::sqrt(dx * dx + dy * dy);
    return r >= 2.3f && r <= 3.6f;
  }
  return std::abs(std::abs(dx) - std::abs(dy)) < 0.5f && std::abs(dx) <= 3.5f;
}

void PaintChip(Image& img, int ox, int oy, Color base, ChipMotif motif) {
  const Color light = Mix(base, kWhite, 0.45f);
  const Color dark = Scale(base, 0.6f);
  // A rim a shade darker than the face: blocks side by side stay apart without a
  // black seam.
  const Color rim = Scale(base, 0.5f);
  // The ring is lit, the cross cut in: each mark pushes its block further from
  // the other side's.
  const Color mark = motif == ChipMotif::kRing ? Mix(base, kWhite, 0.6f) : Scale(base, 0.55f);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      Color c;
      if (x == 0 || y == 0 || x == 15 || y == 15)
        c = rim;
      else if (x <= 2 && y <= 14 - x + 1 && y >= x)
        c = light;  // left bevel
      else if (y <= 2 && x > y)
        c = (x >= 15 - y) ? dark : light;  // top bevel
      else if (x >= 13 || y >= 13)
        c = dark;  // right and bottom bevels
      else if (InMotif(motif, x, y))
        c = mark;
      else
        c = Mix(Mix(base, kWhite, 0.1f), Scale(base, 0.9f), static_cast<float>(y - 3) / 9.0f);
      img.Set(ox + x, oy + y, c);
    }
  }
  // A small gloss spot on the face, clear of the mark.
  img.Set(ox + 3, oy + 3, Mix(base, kWhite, 0.8f));
  img.Set(ox + 4, oy + 3, Mix(base, kWhite, 0.6f));
  img.Set(ox + 3, oy + 4, Mix(base, kWhite, 0.6f));
}

Image BuildChips() {
  Image img(16, 32);
  PaintChip(img, rects::kPlayerChip.x, rects::kPlayerChip.y, kPlayerBlue, ChipMotif::kRing);
  PaintChip(img, rects::kCpuChip.x, rects::kCpuChip.y, kCpuRed, ChipMotif::kCross);
  return img;
}

// ---- Backgrounds --------------------------------------------------------------

Image BuildMatchBackground() {
  Image img(640, 480);
  // The board stays near black where blocks land, so that the darker (CPU's) block
  // keeps 3:1 from it. Every other column is lit about 6 % in relative luminance,
  // enough to follow a column by eye, and a brighter guide line stands every four
  // columns.
  const Color top = Rgb(5, 7, 18), bottom = Rgb(7, 9, 24);
  for (int y = 0; y < 464; ++y) {
    const Color row = Mix(top, bottom, static_cast<float>(y) / 463.0f);
    for (int x = 0; x < 640; ++x) {
      Color c = row;
      if ((x / 16) % 2 == 1) c = Mix(c, Rgb(20, 28, 62), 0.36f);  // every other column lighter
      const bool line_x = x % 16 == 0, line_y = y % 16 == 0;
      if (line_x && x % 64 == 0)
        c = Mix(c, Rgb(110, 140, 220), line_y ? 0.4f : 0.28f);
      else if (line_x && line_y)
        c = Mix(c, Rgb(120, 150, 230), 0.22f);
      else if (line_x || line_y)
        c = Mix(c, Rgb(90, 120, 210), 0.10f);
      img.Set(x, y, c);
    }
  }
  // The floor strip under the board, ticked at every column.
  for (int y = 464; y < 480; ++y) {
    const float t = static_cast<float>(y - 464) / 15.0f;
    Color c = Mix(Rgb(74, 86, 124), Rgb(26, 30, 50), t);
    if (y == 464) c = Rgb(150, 170, 220);
    if (y == 465) c = Rgb(96, 110, 156);
    for (int x = 0; x < 640; ++x) {
      Color p = c;
      if (y >= 466 && y <= 468 && x % 16 == 8) p = Mix(c, Rgb(170, 190, 240), 0.5f);
      img.Set(x, y, p);
    }
  }
  return img;
}

Image BuildPlainBackground() {
  Image img(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const float dx = (x - 320.0f) / 420.0f, dy = (y - 200.0f) / 320.0f;
      const float glow = std::max(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
      const Color base = Mix(Rgb(16, 22, 54), Rgb(6, 8, 22), static_cast<float>(y) / 479.0f);
      img.Set(x, y, Mix(base, Rgb(36, 56, 120), 0.45f * glow * glow));
    }
  return img;
}

// ---- Title, logo and menu ---------------------------------------------------------

Image BuildTitle(const Fonts& fonts, WordPen& pen) {
  Image img(501, 150, kBlack);
  // A soft night-blue glow behind the name that dies out before the edges,
  // so the picture melts into the black menu screen.
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 501; ++x) {
      const float dx = (x - 250.0f) / 250.0f, dy = (y - 66.0f) / 80.0f;
      const float g = std::max(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
      img.Set(x, y, Mix(kBlack, Rgb(30, 52, 120), g * g));
    }
  const Mask text = Sheared(CropToInk(fonts.latin->Render("Ravolin", 100, 1.5f)), 0.18f).Padded(12);
  const Mask inner = text.Dilated(3.0f);
  const Mask outer = text.Dilated(6.5f);
  const Mask shadow = outer.Shifted(6, 7).Blurred(2);
  const Mask::Bounds b = outer.InkBounds();
  const int ox = (501 - b.W()) / 2 - b.x0;
  const int oy = 8 - b.y0;
  img.Paint(shadow, ox, oy, Rgb(2, 4, 12), 0.9f);
  const Mask::Bounds ob = outer.InkBounds();
  img.Paint(outer, ox, oy, [&](int, int y) {
    return Mix(Rgb(110, 180, 255), Rgb(30, 70, 200),
               std::clamp((y - oy - ob.y0) / static_cast<float>(ob.H()), 0.0f, 1.0f));
  });
  img.Paint(inner, ox, oy, Rgb(14, 20, 56));
  const Mask::Bounds tb = text.InkBounds();
  img.Paint(text, ox, oy, [&](int, int y) {
    const float t = std::clamp((y - oy - tb.y0) / static_cast<float>(tb.H()), 0.0f, 1.0f);
    if (t < 0.5f) return Mix(kGoldTop, Rgb(255, 206, 70), t / 0.5f);
    return Mix(Rgb(255, 190, 50), Rgb(230, 96, 20), (t - 0.5f) / 0.5f);
  });
  // A thin shine across the upper letters.
  const Mask shine = text.Minus(text.Shifted(0, 3));
  img.Paint(shine, ox, oy, kWhite, 0.35f);

  // Subtitle with four chips of each side.
  const int sub_y = oy + b.y1 + 2;
  const Rect sub{Picture::kTitle, 150, sub_y, 201, std::min(26, 150 - sub_y)};
  const TextStyle st =
      Lettering(18, 0.0f, Rgb(220, 235, 255), Rgb(150, 190, 250), Rgb(10, 20, 60), 1.5f);
  pen.Draw(img, TextId("重力四目並べ"), st, sub, sub, {Align::kCenter, 1, {}, {}, {}});
  const int chip_y = sub_y + (sub.h - 16) / 2;
  for (int i = 0; i < 4; ++i) {
    PaintChip(img, 64 + 18 * i, chip_y, kPlayerBlue, ChipMotif::kRing);
    PaintChip(img, 365 + 18 * i, chip_y, kCpuRed, ChipMotif::kCross);
  }
  return img;
}

Image BuildLogo(const Fonts& fonts) {
  Image img(150, 65, kBlack);
  // The mark: four polka dots, two of each side, in a diamond.
  const std::array<std::pair<float, float>, 4> centres{{{24, 17}, {37, 31}, {24, 45}, {11, 31}}};
  const std::array<Color, 4> colours{kPlayerBlue, kCpuRed, kPlayerBlue, kCpuRed};
  for (int i = 0; i < 4; ++i) {
    const auto [cx, cy] = centres[i];
    const Mask dot = RoundRectMask(150, 65, cx - 6.5f, cy - 6.5f, cx + 6.5f, cy + 6.5f, 6.5f);
    img.Paint(dot, 0, 0, [&](int x, int y) {
      const float d = std::hypot(x + 0.5f - (cx - 2.5f), y + 0.5f - (cy - 2.5f)) / 11.0f;
      return Mix(Mix(colours[i], kWhite, 0.6f), Scale(colours[i], 0.6f), std::clamp(d, 0.0f, 1.0f));
    });
  }
  TextStyle name;
  name.size = 19;
  name.top = kWhite;
  name.bottom = Rgb(190, 210, 240);
  name.outline_radius = 0;
  DrawText(img, *fonts.latin, "MIZUTAMA", name, {Picture::kLogo, 50, 12, 98, 24},
           {Align::kLeft, 1, {}, {}, {}});
  TextStyle sub;
  sub.size = 10;
  sub.top = sub.bottom = Rgb(255, 196, 70);
  sub.outline_radius = 0;
  DrawText(img, *fonts.latin, "S O F T  W O R K S", sub, {Picture::kLogo, 50, 36, 98, 16},
           {Align::kLeft, 1, {}, {}, {}});
  img.FillRect(52, 34, 94, 1, Rgb(70, 90, 140));
  return img;
}

Image BuildMenu(WordPen& pen) {
  Image img(302, 174, kBlack);
  const std::array<const char*, 3> items{TextId("ゲームスタート"), TextId("ランキング"),
                                         TextId("終了")};
  for (int j = 0; j < rects::kMenuItemCount; ++j) {
    const Rect sel = rects::kMenuItemSelected(j);
    DrawPlate(img, {sel.picture, sel.x + 36, sel.y, sel.w - 72, sel.h}, Rgb(70, 130, 255),
              Rgb(18, 44, 150), Rgb(170, 205, 255), 8.0f);
    // Gold pointers on both sides of the chosen item.
    DrawArrow(img, {sel.picture, sel.x + 14, sel.y, 20, sel.h}, {3, 7}, {15, 14.5f}, {3, 22});
    DrawArrow(img, {sel.picture, sel.x + sel.w - 34, sel.y, 20, sel.h}, {17, 7}, {5, 14.5f},
              {17, 22});
    const TextStyle on = Lettering(19, 0.6f, kWhite, Rgb(255, 236, 170), Rgb(8, 18, 70), 1.5f);
    pen.Draw(img, items[j], on, sel, {sel.picture, sel.x + 40, sel.y, sel.w - 80, sel.h});

    const Rect plain = rects::kMenuItemPlain(j);
    const TextStyle off =
        Lettering(19, 0.0f, Rgb(150, 164, 200), Rgb(96, 108, 146), Rgb(14, 18, 36), 1.0f);
    pen.Draw(img, items[j], off, plain,
             {plain.picture, plain.x + 40, plain.y, plain.w - 80, plain.h});
  }
  return img;
}

// ---- The interface sheet ---------------------------------------------------------

TextStyle GoldText(int size) {
  return Lettering(size, 0.5f, kGoldTop, kGoldBottom, kGoldOutline, 1.5f);
}

TextStyle IceText(int size) {
  return Lettering(size, 0.5f, kIceTop, kIceBottom, kBlueOutline, 1.5f);
}

TextStyle DimText(int size) {
  return Lettering(size, 0.0f, kDimTop, kDimBottom, kDimOutline, 1.2f);
}

// Every label of a row ends its ink on the same row, so the label, the value
// and the digit beside it share a baseline wherever the screens put them.
constexpr int kRowInkBottom = 26;    // in a 30-high piece
constexpr int kStripInkBottom = 23;  // in a 27-high strip cut at y 90 (26 in the y 87 cut)

// The window shared by every cut of one glyph of the digit strip.
struct Window {
  int x0, x1;  // [x0, x1)
};

Window CommonWindow(const std::vector<Rect>& cuts) {
  Window w{-100000, 100000};
  for (const Rect& r : cuts) {
    w.x0 = std::max(w.x0, r.x);
    w.x1 = std::min(w.x1, r.Right());
  }
  return w;
}

std::vector<Rect> CutsOfLargeGlyph(int v) {
  std::vector<Rect> cuts{rects::kLargeDigit(v)};
  if (v >= 1) cuts.push_back(rects::kPlaceNumeral(v - 1));
  if (v % 2 == 1) {
    cuts.push_back(rects::kSetupRoundsDigit(v));
    cuts.push_back(rects::kRankingRoundsDigit(v));
  }
  return cuts;
}

// The largest size at which every text fits its area: a set of glyphs drawn
// at one size, so no digit looks smaller than its neighbours.
int CommonSize(const Font& font, const std::vector<std::pair<std::string, Rect>>& pieces,
               TextStyle st, int margin) {
  for (; st.size > 6; --st.size) {
    bool fits = true;
    for (const auto& [text, area] : pieces) {
      const TextLayers l = MakeLayers(font, text, st);
      fits = fits && l.all.W() <= area.w - 2 * margin && l.all.H() <= area.h - 2 * margin;
    }
    if (fits) break;
  }
  return st.size;
}

// Returns the size used.
int DrawGlyphRow(Image& img, const Font& font,
                 const std::vector<std::pair<std::string, Rect>>& pieces, TextStyle st) {
  st.size = CommonSize(font, pieces, st, 1);
  for (const auto& [text, area] : pieces)
    DrawText(img, font, text, st, area, {Align::kCenter, 1, kStripInkBottom, {}, {}});
  return st.size;
}

void DrawDigitStrips(Image& img, const Fonts& fonts, WordPen& pen) {
  std::vector<std::pair<std::string, Rect>> large, small;
  for (int v = 0; v <= 9; ++v) {
    // The window every cut of this glyph shows; DrawText keeps one more
    // pixel of air inside it.
    const Window w = CommonWindow(CutsOfLargeGlyph(v));
    const Rect cut = rects::kLargeDigit(v);
    large.push_back({std::to_string(v), {Picture::kOther, w.x0, cut.y, w.x1 - w.x0, cut.h}});
    small.push_back({std::to_string(v), rects::kSmallDigit(v)});
  }
  DrawGlyphRow(img, *fonts.latin, large, IceText(24));
  TextStyle small_style = IceText(18);
  small_style.bold = 0.3f;
  small_style.outline_radius = 1.0f;
  small_style.size = DrawGlyphRow(img, *fonts.narrow, small, small_style);
  // The separator's cut stands 5 px right of a digit's: its colon keeps to
  // the cut's left so that it sits midway between the digits around it.
  DrawText(img, *fonts.narrow, ":", small_style, rects::kTimeSeparator,
           {Align::kLeft, 1, kStripInkBottom, {}, {}});
  // The place's word follows its numeral on the ranking screen.
  pen.DrawWordAfterNumber(img, TextId("%1位"), IceText(20), rects::kPlaceSuffix,
                          {Align::kLeft, 1, kStripInkBottom, {}, {}});
}

// A label's field: flat and square-cornered, a shade off the screen's black, with a
// gold tab on the left and a gold underline that fades to the right.
void DrawLabelField(Image& img, const Rect& r) {
  img.FillRect(r.x + 2, r.y + 2, r.w - 4, r.h - 4, Rgb(16, 22, 48));
  img.FillRect(r.x + 2, r.y + 4, 3, r.h - 8, kGoldBottom);
  for (int x = r.x + 2; x < r.Right() - 2; ++x) {
    const float t = static_cast<float>(x - r.x) / static_cast<float>(r.w);
    img.Set(x, r.y + r.h - 3, Mix(kGoldBottom, Rgb(16, 22, 48), t * 0.8f));
  }
}

void DrawSetupPieces(Image& img, WordPen& pen) {
  TextStyle header = IceText(28);
  header.shadow = Rgb(10, 24, 80);
  header.shadow_offset = 2;
  pen.Draw(img, TextId("対戦設定"), header, rects::kSetupHeader, rects::kSetupHeader);

  // Labels are not buttons: the form of the row in hand (and of the ranking's labels)
  // is gold on a flat, square, dark field with a gold tab and underline; nothing in
  // it looks raised or glossy. The plain form is dim text over a dim underline.
  auto label = [&](const Rect& selected, const Rect& plain, const char* text) {
    DrawLabelField(img, selected);
    // Size 18 keeps the plain label's ink below its seventh row, which the
    // ranking's marks share.
    TextStyle on = GoldText(18);
    on.outline = Rgb(60, 26, 0);
    pen.Draw(img, text, on, selected,
             {selected.picture, selected.x + 6, selected.y, selected.w - 6, selected.h},
             {Align::kCenter, 2, kRowInkBottom, {}, {}});
    img.FillRect(plain.x + 8, plain.y + plain.h - 2, plain.w - 16, 1, Rgb(44, 50, 76));
    pen.Draw(img, text, DimText(18), plain, plain, {Align::kCenter, 2, kRowInkBottom, {}, {}});
  };
  label(rects::kDifficultyLabelSelected, rects::kDifficultyLabel, TextId("難易度"));
  label(rects::kRoundsLabelSelected, rects::kRoundsLabel, TextId("ラウンド数"));

  TextStyle easy = GoldText(20);
  easy.top = Rgb(220, 255, 220);
  easy.bottom = Rgb(90, 220, 120);
  easy.outline = Rgb(10, 70, 30);

  // As bright a fill and as plain an outline as the other two: a deep red fill and a
  // near-black outline made the same face look thin.
  TextStyle hard = GoldText(20);
  hard.top = Rgb(255, 232, 214);
  hard.bottom = Rgb(255, 112, 84);
  hard.outline = Rgb(150, 22, 10);
  // Wide enough to start at the left edge on the selection screen and to end
  // at the right edge beside the ranking's label.
  // The three names stand one at a time in the same place of the selection screen.
  pen.DrawAlike(img,
                {{TextId("初級"), easy, rects::kDifficultyName[0]},
                 {TextId("中級"), GoldText(20), rects::kDifficultyName[1]},
                 {TextId("上級 ― 最強のCPUに挑め！"), hard, rects::kDifficultyName[2]}},
                {Align::kCenter, 3, kRowInkBottom, {}, {}});

  // The unit follows the digit of the match length on both screens.
  pen.DrawWordAfterNumber(img, TextId("%1回"), GoldText(20), rects::kRoundsUnit,
                          {Align::kCenter, 2, kRowInkBottom, {}, {}});

  // The start button.
  const Rect on = rects::kStartButtonSelected;
  DrawPlate(img, {on.picture, on.x + 30, on.y, on.w - 60, on.h}, Rgb(255, 130, 70),
            Rgb(190, 24, 24), Rgb(255, 220, 170), 10.0f);
  TextStyle go = GoldText(22);
  go.top = kWhite;
  go.bottom = Rgb(255, 240, 190);
  go.outline = Rgb(110, 10, 10);
  pen.Draw(img, TextId("対戦開始！"), go, on, {on.picture, on.x + 34, on.y, on.w - 68, on.h});
  // Not chosen, the start button is still the goal of the screen: the same warm
  // plate a step deeper, never a grey one that reads as disabled.
  const Rect off = rects::kStartButton;
  DrawPlate(img, {off.picture, off.x + 30, off.y, off.w - 60, off.h}, Rgb(168, 70, 40),
            Rgb(104, 18, 18), Rgb(214, 130, 96), 10.0f);
  TextStyle wait = GoldText(22);
  wait.top = Rgb(255, 236, 214);
  wait.bottom = Rgb(246, 196, 150);
  wait.outline = Rgb(80, 8, 8);
  pen.Draw(img, TextId("対戦開始！"), wait, off,
           {off.picture, off.x + 34, off.y, off.w - 68, off.h});

  // Arrows. The left one is overdrawn from its 35th column by the value
  // beside it, the right one is drawn 5 px lower than the left: both keep
  // their ink where every screen shows them whole and level with the row.
  DrawArrow(img, rects::kLeftArrow, {26, 8}, {6, 20}, {26, 32});
  DrawArrow(img, rects::kRightArrow, {8, 4}, {28, 15}, {8, 26});
}

void DrawRankingPieces(Image& img, WordPen& pen) {
  TextStyle title = GoldText(34);
  title.shadow = Rgb(60, 20, 0);
  title.shadow_offset = 2;
  pen.Draw(img, TextId("ランキング"), title, rects::kRankingTitle, rects::kRankingTitle);
  pen.Draw(img, TextId("得点"), IceText(20), rects::kScoreHeading, rects::kScoreHeading);
  pen.Draw(img, TextId("タイム"), IceText(20), rects::kTimeHeading, rects::kTimeHeading);
  pen.Draw(img, TextId("手数"), IceText(20), rects::kMovesHeading, rects::kMovesHeading);
  // The marks keep their ink above row 373, where the plain difficulty label
  // begins inside their cuts.
  DrawArrow(img, rects::kUpMark, {19, 5}, {33, 28}, {5, 28});
  DrawArrow(img, rects::kDownMark, {5, 5}, {33, 5}, {19, 28});
  img.FillRect(rects::kBlendSquare.x, rects::kBlendSquare.y, rects::kBlendSquare.w,
               rects::kBlendSquare.h, kBlack);
}

Image BuildInterfaceSheet(const Fonts& fonts, WordPen& pen) {
  const rects::PictureFile& f = rects::FileOf(Picture::kOther);
  Image img(f.width, f.height, kBlack);
  DrawDigitStrips(img, fonts, pen);
  DrawSetupPieces(img, pen);
  DrawRankingPieces(img, pen);
  return img;
}

// ---- Round title (colour-keyed on exact black) ---------------------------------

// Paints the text as a hard-edged sticker: no pixel is half-transparent, the
// ground stays exact black and nothing inside the ink is exact black.
// Returns the size drawn at. `gap` is air kept, as a share of the size, on the side the
// text is aligned to (the space between a word and the number beside it).
int DrawKeyedText(Image& img, const Font& font, const std::string& text, int size, const Rect& area,
                  Align align, float gap = 0.0f) {
  TextStyle st;
  st.size = size;
  st.bold = 2.0f;
  st.outline_radius = 3.0f;
  Image layer(area.w, area.h, kBlack);
  for (; st.size > 10; st.size -= 2) {
    const TextLayers l = MakeLayers(font, text, st);
    const int air = 4 + static_cast<int>(std::lround(gap * static_cast<float>(st.size)));
    if (l.all.W() > area.w - 4 - air || l.all.H() > area.h - 8) continue;
    const int rx = align == Align::kLeft    ? air
                   : align == Align::kRight ? area.w - air - l.all.W()
                                            : (area.w - l.all.W()) / 2;
    const int ox = rx - l.all.x0, oy = (area.h - l.all.H()) / 2 - l.all.y0;
    const float top = static_cast<float>(oy + l.face.y0),
                span = static_cast<float>(std::max(1, l.face.H() - 1));
    for (int y = 0; y < area.h; ++y) {
      for (int x = 0; x < area.w; ++x) {
        const float a_fill = l.fill.At(x - ox, y - oy);
        const float a_line = l.outline.At(x - ox, y - oy);
        if (std::max(a_fill, a_line) < 0.5f) continue;
        const float t = std::clamp((y - top) / span, 0.0f, 1.0f);
        const Color face = t < 0.5f ? Mix(kWhite, Rgb(255, 220, 90), t / 0.5f)
                                    : Mix(Rgb(255, 210, 80), Rgb(245, 110, 20), (t - 0.5f) / 0.5f);
        layer.Set(x, y, Mix(kOutlineNavy, face, std::clamp(a_fill, 0.0f, 1.0f)));
      }
    }
    img.Blit(layer, area.x, area.y);
    return st.size;
  }
  throw std::runtime_error("round title does not fit: " + text);
}

Image BuildCounter(const Fonts& fonts, WordPen& pen) {
  const rects::PictureFile& f = rects::FileOf(Picture::kCounter);
  Image img(f.width, f.height, kBlack);
  for (int n = 1; n <= 9; ++n)
    DrawKeyedText(img, *fonts.latin, std::to_string(n), 92, rects::kRoundNumber(n), Align::kCenter);
  // The word keeps to the side of its rectangle where the number stands on the screen.
  const char* pattern = TextId("%1回戦");
  const NumberedWord round = pen.Numbered(pattern);
  // A space written beside %1 becomes a quarter of the size in the picture.
  const std::string written = pen.Tr(pattern);
  const bool spaced =
      written.find(" %1") != std::string::npos || written.find("%1 ") != std::string::npos;
  DrawnWord& w = pen.Record(pattern, round.word, rects::kRoundWord, 80);
  if (!w.drawn) return img;
  if (round.number_first) {
    w.size = DrawKeyedText(img, pen.FaceFor(round.word, true), round.word, 80, rects::kRoundWord,
                           Align::kLeft, spaced ? 0.25f : 0.0f);
    return img;
  }
  // A word before its number stands at x 150 of the screen, where the first-player roulette
  // opens over x 215..438 (its frame 4 px wide): the word keeps to the part the box covers,
  // so that the box hides it as it hides the Japanese word, and the number shows beside it.
  // The box's frame is the space before the number.
  constexpr int kCoveredFrom = 215 - 150 + 4 + 2;
  const Rect& whole = rects::kRoundWord;
  const Rect covered{whole.picture, whole.x + kCoveredFrom, whole.y, whole.w - kCoveredFrom,
                     whole.h};
  w.size =
      DrawKeyedText(img, pen.FaceFor(round.word, true), round.word, 80, covered, Align::kRight);
  return img;
}

// ---- Window skin ----------------------------------------------------------------

// Rows 16..79 are the same in every column and the middle columns 32..51 are
// the same in every row, so the bands and slices tile without seams.
Image BuildWindowSkin() {
  const rects::PictureFile& f = rects::FileOf(Picture::kWindow);
  Image img(f.width, f.height, kBlack);
  const Color fill = kNavy;
  const int n = f.width;
  for (int y = 0; y < f.height; ++y) {
    for (int x = 0; x < n; ++x) {
      const int edge = std::min({x, y, n - 1 - x, f.height - 1 - y});
      Color c = fill;
      if (y < 16) c = Mix(Rgb(54, 80, 160), fill, static_cast<float>(y) / 15.0f);  // lit top
      if (y >= 80)
        c = Mix(fill, Rgb(14, 22, 58), static_cast<float>(y - 80) / 15.0f);  // shaded foot
      if (edge == 0)
        c = Rgb(6, 8, 20);
      else if (edge == 1 || edge == 2)
        c = Rgb(110, 140, 210);  // soft enough for white text over a faded banner
      else if (edge == 3)
        c = Rgb(40, 60, 130);
      img.Set(x, y, c);
    }
  }
  return img;
}

// ---- Roulette cursor --------------------------------------------------------------

Image BuildCursor() {
  Image img(16, 30, kWhite);
  const Rect im = rects::kRouletteCursorImage, mk = rects::kRouletteCursorMask;
  auto inside = [](int x, int y) {
    // A right-pointing arrow: a triangle from (1, 1)-(1, 13) to (14, 7).
    const float px = x + 0.5f, py = y + 0.5f;
    return px >= 1.0f && px <= 14.5f &&
           std::abs(py - 7.5f) <= 6.5f * (1.0f - (px - 1.0f) / 13.5f) + 0.3f;
  };
  for (int y = 0; y < im.h; ++y) {
    for (int x = 0; x < im.w; ++x) {
      const bool in = inside(x, y);
      img.Set(mk.x + x, mk.y + y, in ? kWhite : kBlack);
      if (!in) continue;
      const bool rim =
          !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      const Color face = Mix(kGoldTop, kGoldBottom, static_cast<float>(y) / 14.0f);
      img.Set(im.x + x, im.y + y, rim ? Rgb(110, 40, 0) : face);
    }
  }
  return img;
}

// ---- Review sheet --------------------------------------------------------------------

struct SheetSlot {
  Picture picture;
  int x, y;
};

Color OutlineColour(int i) {
  static constexpr std::array<Color, 6> kCycle{Rgb(255, 80, 200), Rgb(0, 255, 140),
                                               Rgb(255, 230, 0),  Rgb(0, 200, 255),
                                               Rgb(255, 120, 40), Rgb(180, 140, 255)};
  return kCycle[static_cast<std::size_t>(i) % kCycle.size()];
}

}  // namespace

PictureSet BuildPictures(const WordChoice& choice) {
  const Fonts fonts = OpenFonts();
  PictureSet set;
  WordPen pen(fonts, choice, set.words);
  set.Of(Picture::kChip) = BuildChips();
  set.Of(Picture::kScreen) = BuildMatchBackground();
  set.Of(Picture::kTitle) = BuildTitle(fonts, pen);
  set.Of(Picture::kLogo) = BuildLogo(fonts);
  set.Of(Picture::kMenu) = BuildMenu(pen);
  set.Of(Picture::kBack) = BuildPlainBackground();
  set.Of(Picture::kOther) = BuildInterfaceSheet(fonts, pen);
  set.Of(Picture::kCounter) = BuildCounter(fonts, pen);
  set.Of(Picture::kWindow) = BuildWindowSkin();
  set.Of(Picture::kCursor) = BuildCursor();
  return set;
}

// A one-pixel frame on the box from (x0, y0) to (x1, y1), both corners included.
void FrameBox(Image& sheet, int x0, int y0, int x1, int y1, Color c) {
  for (int x = x0; x <= x1; ++x) {
    sheet.Set(x, y0, c);
    sheet.Set(x, y1, c);
  }
  for (int y = y0; y <= y1; ++y) {
    sheet.Set(x0, y, c);
    sheet.Set(x1, y, c);
  }
}

Image BuildContactSheet(const PictureSet& set) {
  const std::unique_ptr<Font> font =
      Font::Open("DejaVu Sans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  const std::array<SheetSlot, rects::kPictureCount> slots{{
      {Picture::kScreen, 20, 40},
      {Picture::kBack, 1340, 40},
      {Picture::kOther, 20, 1050},
      {Picture::kTitle, 660, 1050},
      {Picture::kLogo, 1700, 1050},
      {Picture::kMenu, 660, 1400},
      {Picture::kWindow, 1300, 1400},
      {Picture::kCursor, 1540, 1400},
      {Picture::kChip, 1660, 1400},
      {Picture::kCounter, 20, 2190},
  }};
  Image sheet(2640, 2420, Rgb(52, 54, 62));
  auto label = [&](const std::string& text, int x, int y, Color c, int size) {
    if (!font) return;
    const Mask m = CropToInk(font->Render(text, size)).Padded(1);
    sheet.FillRect(x, y, m.Width(), m.Height(), Rgb(0, 0, 0));
    sheet.Paint(m, x, y, c);
  };
  for (const SheetSlot& s : slots) {
    const Image& img = set.Of(s.picture);
    const rects::PictureFile& f = rects::FileOf(s.picture);
    sheet.FillRect(s.x - 1, s.y - 1, img.Width() * 2 + 2, img.Height() * 2 + 2, Rgb(200, 200, 200));
    sheet.Blit(img.Scaled(2), s.x, s.y);
    label(std::string(f.name) + (f.png ? " (PNG)" : " (BMP)") + " " + std::to_string(img.Width()) +
              "x" + std::to_string(img.Height()),
          s.x, s.y - 24, kWhite, 16);
  }
  int i = 0;
  for (const rects::NamedRect& nr : rects::kAllRects) {
    const SheetSlot* slot = nullptr;
    for (const SheetSlot& s : slots)
      if (s.picture == nr.rect.picture) slot = &s;
    const Rect& r = nr.rect;
    const Color c = OutlineColour(i++);
    const int x0 = slot->x + 2 * r.x, y0 = slot->y + 2 * r.y, x1 = slot->x + 2 * r.Right() - 1,
              y1 = slot->y + 2 * r.Bottom() - 1;
    FrameBox(sheet, x0, y0, x1, y1, c);
    // Strips of many small cuts get their index only, the rest their name.
    const bool small = r.w < 40;
    const std::string text =
        small ? std::to_string(nr.index)
              : std::string(nr.name) + (nr.index >= 0 ? " " + std::to_string(nr.index) : "");
    label(text, x0 + 2, y0 + 2, c, small ? 9 : 10);
  }
  return sheet;
}

namespace {

bool WriteOne(const PictureSet& set, const std::filesystem::path& folder,
              const rects::PictureFile& f, std::string_view language) {
  const std::filesystem::path path = folder / PictureFilePath(f, language);
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  const Image& img = set.Of(f.surface);
  return f.png ? WritePng(path.string(), img) : WriteBmp24(path.string(), img);
}

}  // namespace

bool WritePictureFiles(const PictureSet& set, const std::filesystem::path& folder) {
  for (const rects::PictureFile& f : rects::kPictureFiles)
    if (!WriteOne(set, folder, f, kPictureBaseLanguage)) return false;
  return true;
}

bool WriteLanguagePictures(const PictureSet& set, const std::filesystem::path& folder,
                           std::string_view language) {
  for (const rects::PictureFile& f : rects::kPictureFiles)
    if (f.words && !WriteOne(set, folder, f, language)) return false;
  return true;
}

Image BuildLanguageSheet(const std::vector<std::pair<std::string, const PictureSet*>>& sets) {
  const std::unique_ptr<Font> font =
      Font::Open("DejaVu Sans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  // Rows of the pictures with words; the counter strip is wide, so it goes last.
  int column_w = 0, height = 40;
  std::vector<std::pair<Picture, int>> rows;  // picture, top
  for (const rects::PictureFile& f : rects::kPictureFiles) {
    if (!f.words) continue;
    column_w = std::max(column_w, 2 * f.width + 40);
    rows.push_back({f.surface, height + 30});
    height += 2 * f.height + 60;
  }
  Image sheet(20 + column_w * static_cast<int>(sets.size()), height, Rgb(52, 54, 62));
  auto label = [&](const std::string& text, int x, int y, Color c, int size) {
    if (!font) return;
    const Mask m = CropToInk(font->Render(text, size)).Padded(1);
    sheet.FillRect(x, y, m.Width(), m.Height(), kBlack);
    sheet.Paint(m, x, y, c);
  };
  for (std::size_t col = 0; col < sets.size(); ++col) {
    const auto& [language, set] = sets[col];
    const int x = 20 + column_w * static_cast<int>(col);
    label(language, x, 8, kWhite, 20);
    for (const auto& [picture, top] : rows) {
      const Image& img = set->Of(picture);
      sheet.FillRect(x - 1, top - 1, img.Width() * 2 + 2, img.Height() * 2 + 2, Rgb(200, 200, 200));
      sheet.Blit(img.Scaled(2), x, top);
      label(std::string(rects::FileOf(picture).name) + " " + std::to_string(img.Width()) + "x" +
                std::to_string(img.Height()),
            x, top - 24, kWhite, 14);
    }
    int i = 0;
    for (const DrawnWord& w : set->words) {
      const auto row = std::find_if(rows.begin(), rows.end(),
                                    [&](const auto& r) { return r.first == w.owner.picture; });
      const Color c = OutlineColour(i++);
      const int x0 = x + 2 * w.owner.x, y0 = row->second + 2 * w.owner.y;
      const int x1 = x0 + 2 * w.owner.w - 1, y1 = y0 + 2 * w.owner.h - 1;
      FrameBox(sheet, x0, y0, x1, y1, c);
      if (w.drawn && w.size < w.asked_size)
        label(std::to_string(w.size) + "px", x0 + 2, y1 - 12, c, 9);
    }
  }
  return sheet;
}

}  // namespace rv::assets
