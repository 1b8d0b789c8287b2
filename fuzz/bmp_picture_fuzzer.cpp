// Picture files read by the general loader (the BMP pictures of Picture/), as start-up loads
// them: the file's bytes, the header checks, the colour table and the rows.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "game/gfx/bitmap_decoder.h"
#include "game/gfx/picture_set.h"

using rv::fuzz::Require;

namespace {

constexpr int kLargestSide = 16384;  // the reader refuses anything larger

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const rv::fuzz::ScratchFolder folder("bmp");
  static rv::PictureSet pictures;
  static rv::PictureLoader loader = [] {
    std::filesystem::create_directories(folder.path() / "Picture");
    return rv::PictureLoader(folder.path());
  }();
  rv::fuzz::WriteBytes(loader.PicturePath("fuzz"), data, size);

  pictures.Screen = rv::Surface();
  const rv::LoadResult loaded = loader.LoadSurface(pictures, 1, "fuzz");
  const rv::Surface direct = rv::ReadBmp(data, size);
  if (!loaded.ok) {
    Require(!loaded.error.empty(), "a failed load that names no file");
    Require(direct.empty(), "the loader refused what the reader accepts");
    Require(pictures.Screen.empty(), "a refused picture changed the surface");
    return 0;
  }
  const rv::Surface& got = pictures.Screen;
  Require(!got.empty() && got.width() <= kLargestSide && got.height() <= kLargestSide,
          "a picture of an impossible size");
  Require(got.width() == direct.width() && got.height() == direct.height(),
          "the loader and the reader disagree on the size");
  // The colour-keyed copy compares whole pixels, so the unused top byte must stay 0.
  for (int y = 0; y < got.height(); ++y) {
    for (int x = 0; x < got.width(); ++x) {
      Require(got.Row(y)[x] == direct.Row(y)[x], "the loader and the reader disagree");
      Require((got.Row(y)[x] >> 24) == 0, "a pixel with a top byte");
    }
  }
  return 0;
}
