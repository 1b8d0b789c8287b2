// The ten pictures of the game, painted by our own code.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "game/gfx/picture_rects.h"
#include "pictures/image.h"

namespace rv::assets {

struct PictureSet {
  std::array<Image, rects::kPictureCount> images;  // indexed by rects::Picture
  const Image& Of(rects::Picture p) const { return images[static_cast<std::size_t>(p)]; }
  Image& Of(rects::Picture p) { return images[static_cast<std::size_t>(p)]; }
};

// Paints every picture. Throws std::runtime_error when no usable font is found.
PictureSet BuildPictures();

// All ten pictures at 2x, every used rectangle outlined and labelled.
Image BuildContactSheet(const PictureSet& set);

// Writes folder/Picture/picN.dat (PNG or BMP as the game loads each one).
// Returns false on the first file that cannot be written.
bool WritePictureFiles(const PictureSet& set, const std::filesystem::path& folder);

}  // namespace rv::assets
