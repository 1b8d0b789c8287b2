#include "pictures/icon_svg.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "pictures/font.h"

namespace rv::assets {

namespace {

constexpr const char* kLatinBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kGothicFile = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr double kSize = 256.0;
constexpr double kShear = 0.18;  // the title's forward lean

std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

// The glyph's outline as SVG path data, in pixels with y downward and the baseline at 0.
struct GlyphPath {
  std::string d;
  double left = 0, right = 0;  // of the leaning letter, control points included
  double top = 0;              // height above the baseline
};

struct PathWriter {
  std::string d;
  double left = 1e9, right = -1e9, top = 0;
  static double X(const FT_Vector* v) { return v->x / 64.0; }
  static double Y(const FT_Vector* v) { return -v->y / 64.0; }
  void Point(const FT_Vector* v) {
    d += Num(X(v)) + " " + Num(Y(v)) + " ";
    const double leaning = X(v) - kShear * Y(v);
    left = std::min(left, leaning);
    right = std::max(right, leaning);
    top = std::max(top, -Y(v));
  }
};

int MoveTo(const FT_Vector* to, void* user) {
  auto* w = static_cast<PathWriter*>(user);
  if (!w->d.empty()) w->d += "Z ";
  w->d += "M ";
  w->Point(to);
  return 0;
}
int LineTo(const FT_Vector* to, void* user) {
  auto* w = static_cast<PathWriter*>(user);
  w->d += "L ";
  w->Point(to);
  return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* w = static_cast<PathWriter*>(user);
  w->d += "Q ";
  w->Point(control);
  w->Point(to);
  return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* w = static_cast<PathWriter*>(user);
  w->d += "C ";
  w->Point(c1);
  w->Point(c2);
  w->Point(to);
  return 0;
}

GlyphPath LetterOutline(int pixel_size) {
  std::unique_ptr<Font> font = Font::Open("DejaVu Sans:bold", kLatinBoldFile);
  if (!font) font = Font::Open("IPAGothic", kGothicFile);
  if (!font) throw std::runtime_error("no face for the icon's letter found");
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("FreeType does not start");
  std::unique_ptr<FT_LibraryRec_, FT_Error (*)(FT_Library)> lib_guard(lib, &FT_Done_FreeType);
  FT_Face face = nullptr;
  if (FT_New_Face(lib, font->File().c_str(), 0, &face) != 0) {
    throw std::runtime_error("cannot open " + font->File());
  }
  std::unique_ptr<FT_FaceRec_, FT_Error (*)(FT_Face)> face_guard(face, &FT_Done_Face);
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_size));
  if (FT_Load_Char(face, 'R', FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    throw std::runtime_error("the face has no outline for the letter");
  }
  FT_Outline_Funcs funcs{};
  funcs.move_to = MoveTo;
  funcs.line_to = LineTo;
  funcs.conic_to = ConicTo;
  funcs.cubic_to = CubicTo;
  PathWriter writer;
  FT_Outline_Decompose(&face->glyph->outline, &funcs, &writer);
  writer.d += "Z";
  return GlyphPath{writer.d, writer.left, writer.right, writer.top};
}

std::string Rgb(int r, int g, int b) {
  char text[16];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", r, g, b);
  return text;
}

std::string Stop(double offset, const std::string& colour, double opacity = 1.0) {
  return "<stop offset=\"" + Num(offset) + "\" stop-color=\"" + colour + "\" stop-opacity=\"" +
         Num(opacity) + "\"/>";
}

// The same proportions as the painted icon (icon.cpp), at 256 pixels.
std::string Tile() {
  const double inset = 0.04 * kSize;
  const double side = kSize - 2 * inset;
  const double radius = 0.18 * kSize;
  const double rim = 0.022 * kSize;
  const std::string box = "x=\"" + Num(inset) + "\" y=\"" + Num(inset) + "\" width=\"" + Num(side) +
                          "\" height=\"" + Num(side) + "\" rx=\"" + Num(radius) + "\"";
  return "<rect " + box + " fill=\"url(#tile)\"/>\n<rect " + box +
         " fill=\"url(#glow)\"/>\n<rect x=\"" + Num(inset + rim / 2) + "\" y=\"" +
         Num(inset + rim / 2) + "\" width=\"" + Num(side - rim) + "\" height=\"" + Num(side - rim) +
         "\" rx=\"" + Num(radius - rim / 2) + "\" fill=\"none\" stroke=\"" + Rgb(110, 180, 255) +
         "\" stroke-opacity=\"0.8\" stroke-width=\"" + Num(rim) + "\"/>\n";
}

std::string Letter() {
  const int pixel = static_cast<int>(std::lround(0.70 * kSize));
  const GlyphPath glyph = LetterOutline(pixel);
  // The painted letter is emboldened by the renderer; here the gold gets a stroke of its own.
  const double bold = 0.008 * kSize;
  const double outer = 0.034 * kSize + bold;
  const double inner = 0.015 * kSize + bold;
  const double dx = kSize / 2 - (glyph.left + glyph.right) / 2;
  const double dy = 0.09 * kSize + outer + glyph.top;
  const double drop = 0.02 * kSize;
  const std::string shear = "matrix(1 0 " + Num(-kShear) + " 1 0 0)";
  const std::string place = "translate(" + Num(dx) + " " + Num(dy) + ") " + shear;
  const std::string path = "d=\"" + glyph.d + "\"";
  std::string out = "<g transform=\"translate(" + Num(drop) + " " + Num(drop) + ") " +
                    "translate(" + Num(dx) + " " + Num(dy) + ") " + shear + "\">\n";
  out += "<path " + path + " fill=\"" + Rgb(2, 4, 12) + "\" fill-opacity=\"0.85\" stroke=\"" +
         Rgb(2, 4, 12) + "\" stroke-opacity=\"0.85\" stroke-width=\"" + Num(2 * outer) +
         "\" stroke-linejoin=\"round\"/>\n</g>\n";
  out += "<g transform=\"" + place + "\">\n";
  out += "<path " + path + " fill=\"none\" stroke=\"url(#outline)\" stroke-width=\"" +
         Num(2 * outer) + "\" stroke-linejoin=\"round\"/>\n";
  out += "<path " + path + " fill=\"none\" stroke=\"" + Rgb(14, 20, 56) + "\" stroke-width=\"" +
         Num(2 * inner) + "\" stroke-linejoin=\"round\"/>\n";
  out += "<path id=\"letter\" " + path +
         " fill=\"url(#gold)\" stroke=\"url(#gold)\" stroke-width=\"" + Num(2 * bold) +
         "\" stroke-linejoin=\"round\"/>\n</g>\n";
  return out;
}

std::string Blocks() {
  const double block = 0.125 * kSize;
  const double gap = 0.035 * kSize;
  const double left = 0.5 * (kSize - (4 * block + 3 * gap));
  const double top = 0.76 * kSize;
  const double bevel = 0.02 * kSize;
  std::string out;
  for (int i = 0; i < 4; ++i) {
    const double x = left + i * (block + gap);
    out += "<rect x=\"" + Num(x) + "\" y=\"" + Num(top) + "\" width=\"" + Num(block) +
           "\" height=\"" + Num(block) + "\" rx=\"" + Num(0.12 * block) +
           "\" fill=\"url(#bevel)\"/>\n";
    out += "<rect x=\"" + Num(x + bevel) + "\" y=\"" + Num(top + bevel) + "\" width=\"" +
           Num(block - 2 * bevel) + "\" height=\"" + Num(block - 2 * bevel) + "\" rx=\"" +
           Num(0.08 * block) + "\" fill=\"url(#face)\"/>\n";
  }
  return out;
}

std::string Gradients() {
  std::string out = "<defs>\n";
  out += "<linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">" +
         Stop(0, Rgb(34, 56, 132)) + Stop(1, Rgb(8, 12, 32)) + "</linearGradient>\n";
  out += "<radialGradient id=\"glow\" cx=\"0.5\" cy=\"0.4\" r=\"0.5\">" +
         Stop(0, Rgb(60, 96, 190), 0.6) + Stop(1, Rgb(60, 96, 190), 0) + "</radialGradient>\n";
  out += "<linearGradient id=\"outline\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">" +
         Stop(0, Rgb(110, 180, 255)) + Stop(1, Rgb(30, 70, 200)) + "</linearGradient>\n";
  out += "<linearGradient id=\"gold\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">" +
         Stop(0, Rgb(255, 248, 200)) + Stop(0.5, Rgb(255, 206, 70)) + Stop(0.5, Rgb(255, 190, 50)) +
         Stop(1, Rgb(230, 96, 20)) + "</linearGradient>\n";
  out += "<linearGradient id=\"bevel\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\">" +
         Stop(0, Rgb(163, 196, 248)) + Stop(1, Rgb(21, 50, 108)) + "</linearGradient>\n";
  out += "<linearGradient id=\"face\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">" +
         Stop(0, Rgb(84, 138, 243)) + Stop(1, Rgb(37, 90, 192)) + "</linearGradient>\n";
  return out + "</defs>\n";
}

}  // namespace

std::string BuildIconSvg() {
  const std::string size = Num(kSize);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
         size + "\" height=\"" + size + "\" viewBox=\"0 0 " + size + " " + size + "\">\n" +
         Gradients() + Tile() + Letter() + Blocks() + "</svg>\n";
}

bool WriteScalableIcon(const std::filesystem::path& theme_root, const std::string& name) {
  const std::filesystem::path folder = theme_root / "hicolor" / "scalable" / "apps";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return false;
  std::ofstream out(folder / (name + ".svg"), std::ios::binary | std::ios::trunc);
  out << BuildIconSvg();
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace rv::assets
