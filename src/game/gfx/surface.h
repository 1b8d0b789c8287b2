#pragma once
// A 32-bit software image, pixels 0x00RRGGBB, rows top-down without padding. Every picture
// surface, the composition buffer and the visible game screen are one of these.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rv {

// What printing on a surface uses: the surface's own face size and the properties the text
// primitives set before each print.
// The face a text is printed in: the Japanese Gothic, or the Latin face the pictures' other
// languages are set in (DejaVu Sans, its bold cut for FontBold).
enum class TextFace { kJapanese, kLatin };

struct TextState {
  TextFace face = TextFace::kJapanese;
  bool FontBold = false;
  uint32_t ForeColor = 0x000000;
  int CurrentX = 0;
  int CurrentY = 0;
  int font_px = 16;  // 16 px = 12 pt, 21 px = 15.75 pt (at 96 dots per inch)
};

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, uint32_t fill = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ <= 0 || height_ <= 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Outside the surface Pixel reads 0 and SetPixel does nothing.
  uint32_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, uint32_t color);
  uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* data() const { return pixels_.data(); }

  void PaintAll(uint32_t color);
  // New size and content; the text state is kept (it belongs to the surface, not the picture).
  void Reset(int width, int height, uint32_t fill = 0);
  // Takes another surface's picture (size and pixels), keeping this surface's text state.
  void AssignPicture(Surface&& picture);

  TextState& text() { return text_; }
  const TextState& text() const { return text_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
  TextState text_;
};

}  // namespace rv
