// The game's own loader reads every generated picture: PNG through the
// decoder module, BMP through the general loader, with the same pixels.
#include <gtest/gtest.h>

#include "game/gfx/picture_set.h"
#include "picture_reader.h"

namespace rects = rv::rects;

namespace {

TEST(GameLoader, ReadsEveryPictureWithTheSamePixels) {
  const auto& folder = rv::assets::testing::GeneratedFolder();
  rv::PictureSet surfaces;
  rv::PictureLoader loader(folder, RV_MPNG_MODULE);
  for (const rects::PictureFile& f : rects::kPictureFiles) {
    SCOPED_TRACE(f.name);
    const int16_t number = static_cast<int16_t>(f.surface);
    ASSERT_TRUE(loader.LoadSurface(surfaces, number, f.name).ok);
    const rv::Surface* s = surfaces.ByNumber(number);
    ASSERT_NE(s, nullptr);
    const rv::assets::testing::Pixels& p = rv::assets::testing::Decoded(f.surface);
    ASSERT_EQ(s->width(), p.w);
    ASSERT_EQ(s->height(), p.h);
    int mismatches = 0;
    for (int y = 0; y < p.h; ++y)
      for (int x = 0; x < p.w; ++x) {
        const auto c = p.At(x, y);
        const uint32_t want =
            (static_cast<uint32_t>(c[0]) << 16) | (static_cast<uint32_t>(c[1]) << 8) | c[2];
        mismatches += (s->Pixel(x, y) & 0xFFFFFFu) != want;
      }
    EXPECT_EQ(mismatches, 0);
  }
}

}  // namespace
