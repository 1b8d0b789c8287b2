// Text rendered to coverage masks through FreeType. The generator has its own
// small renderer so the pictures do not depend on the game's text code.
#pragma once

#include <memory>
#include <string>

#include "pictures/image.h"

namespace rv::assets {

class Font {
 public:
  // Opens the face found by fontconfig for the pattern ("IPAGothic",
  // "DejaVu Sans:bold"); falls back to the file when the match fails.
  static std::unique_ptr<Font> Open(const std::string& pattern, const std::string& fallback_file);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const std::string& File() const { return file_; }

  // The text's coverage on a canvas as wide as its advance and as tall as
  // the face's line at this size (with a small pad for emboldening);
  // embolden is the stroke growth in pixels (0 for the regular weight).
  Mask Render(const std::string& utf8, int pixel_size, float embolden = 0.0f) const;

 private:
  Font() = default;
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string file_;
};

// Crops a mask to its ink.
Mask CropToInk(const Mask& m);

}  // namespace rv::assets
