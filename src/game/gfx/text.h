#pragma once
// Printing on surfaces with the Japanese Gothic face, or in another language with the
// Latin face of the pictures (FreeType, both found through fontconfig), and the two text
// primitives of the game.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/gfx/surface.h"

namespace rv {

// The face sizes: 12 pt on the game screen, 15.75 pt on the composition buffer (PicMemory).
constexpr int kScreenFacePx = 16;
constexpr int kCompositionFacePx = 21;

// The rectangle a text may draw in (its shadow included); no pixel outside it is touched.
struct TextSpace {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// Whether the text needs the Japanese face: any ideograph, kana, Hangul or full-width form.
// The pictures set everything else in the Latin face, and so does the game.
bool NeedsJapaneseFace(std::string_view utf8);

class TextRenderer {
 public:
  // Finds the face: IPAGothic first, then any face that covers Japanese. On failure returns
  // nullptr and puts a message for the player into *error. DejaVu Sans and its bold cut are
  // opened beside it when installed (HasLatinFace).
  static std::unique_ptr<TextRenderer> Open(std::string* error);
  // A given font file (tests, or a face chosen elsewhere); nullptr when it cannot be loaded.
  static std::unique_ptr<TextRenderer> OpenFile(const std::filesystem::path& file,
                                                std::string* error);
  // Loads the Latin face's files (the bold one may be empty: the regular cut is then
  // emboldened); false, and no Latin face, when the regular one cannot be loaded.
  bool OpenLatinFiles(const std::filesystem::path& regular, const std::filesystem::path& bold);
  // Without it, TextFace::kLatin prints with the Japanese face.
  bool HasLatinFace() const;
  ~TextRenderer();
  TextRenderer(const TextRenderer&) = delete;
  TextRenderer& operator=(const TextRenderer&) = delete;

  // Prints UTF-8 text with the surface's text state: its face, size, FontBold and ForeColor,
  // the top-left of the line at (CurrentX, CurrentY). Anti-aliased glyphs are blended over
  // the surface in ForeColor; there is no background box. Afterwards, like a print that ends
  // its line, CurrentX is 0 and CurrentY is one line lower. Control characters (a line
  // break among them) have no glyph and draw nothing. With a space, only its pixels change.
  void Print(Surface& target, std::string_view utf8, const TextSpace* space = nullptr);

  // The height of one line at a face size (ascender to descender plus line gap), in pixels.
  int LineHeight(int font_px);
  // The advance width of the text at the target's size and boldness, in pixels.
  int TextWidth(const TextState& state, std::string_view utf8);

  const std::filesystem::path& file() const { return file_; }
  // Every text printed from now on is appended to *log (nullptr stops it): tests read what
  // was written by its code points rather than by its pixels.
  void RecordPrinted(std::vector<std::string>* log) { printed_ = log; }

 private:
  struct Impl;
  explicit TextRenderer(std::unique_ptr<Impl> impl, std::filesystem::path file);

  std::unique_ptr<Impl> impl_;
  std::filesystem::path file_;
  std::vector<std::string>* printed_ = nullptr;
};

// The text primitives: a black shadow at (x + 1, y + 1), then the face at (x, y), in bold
// when bold = -1; FontBold is false afterwards whatever it was. They do not refresh.
// DrawShadowText writes white on GameScreen when on_screen = 1, else on PicMemory. With a
// space, neither the shadow nor the face draws outside it.
void DrawShadowText(TextRenderer& text, Surface& game_screen, Surface& pic_memory, int16_t x,
                    int16_t y, std::string_view str, int16_t bold, int16_t on_screen,
                    const TextSpace* space = nullptr);
// The same on GameScreen with the face in RGB(red, green, blue).
void DrawColorText(TextRenderer& text, Surface& game_screen, int16_t x, int16_t y, int red,
                   int green, int blue, std::string_view str, int16_t bold,
                   const TextSpace* space = nullptr);

}  // namespace rv
