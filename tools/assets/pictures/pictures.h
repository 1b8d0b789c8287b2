// The ten pictures of the game, painted by our own code.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/gfx/picture_rects.h"
#include "lang/catalogue.h"
#include "pictures/image.h"

namespace rv::assets {

// The language of the words, and which of them to draw (a test draws one word at a time
// to see that each keeps to its rectangle).
struct WordChoice {
  static constexpr int kAll = -1;
  static constexpr int kNone = -2;
  const Catalogue* catalogue = nullptr;  // nullptr: the Japanese as written
  int only = kAll;                       // kAll, kNone, or the index of the one word drawn
};

// One word drawn into a picture, in the order the generator draws them.
struct DrawnWord {
  rects::Rect owner;     // the rectangle the screens copy: the word's ink stays inside
  std::string japanese;  // the catalogue's key
  std::string text;      // what was drawn (empty: nothing, the language needs no word there)
  int asked_size = 0;    // the size its style asks for
  int size = 0;          // the size it fitted at (0 when not drawn)
  bool drawn = false;
  bool condensed = false;  // set in the condensed face to stay larger
};

struct PictureSet {
  std::array<Image, rects::kPictureCount> images;  // indexed by rects::Picture
  std::vector<DrawnWord> words;
  const Image& Of(rects::Picture p) const { return images[static_cast<std::size_t>(p)]; }
  Image& Of(rects::Picture p) { return images[static_cast<std::size_t>(p)]; }
};

// Paints every picture, its words in the chosen language. Throws std::runtime_error when no
// usable font is found or a word cannot fit its rectangle.
PictureSet BuildPictures(const WordChoice& choice = {});

// All ten pictures at 2x, every used rectangle outlined and labelled.
Image BuildContactSheet(const PictureSet& set);

// Writes folder/Picture/picN.dat (PNG or BMP as the game loads each one).
// Returns false on the first file that cannot be written.
bool WritePictureFiles(const PictureSet& set, const std::filesystem::path& folder);

// Writes folder/Picture/<language>/picN.dat for each picture that carries words, in the
// same format and size as the Japanese file.
bool WriteLanguagePictures(const PictureSet& set, const std::filesystem::path& folder,
                           std::string_view language);

// The pictures that carry words, one column per language (the first is the Japanese), at 2x,
// each word's rectangle outlined and labelled with the size its word was drawn at.
Image BuildLanguageSheet(const std::vector<std::pair<std::string, const PictureSet*>>& sets);

}  // namespace rv::assets
