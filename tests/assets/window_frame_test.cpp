// White text over the window skin's frame stays readable.
#include <gtest/gtest.h>

#include <cstdio>

#include "picture_reader.h"
#include "support/colour_vision.h"

namespace rects = rv::rects;
using rv::assets::testing::Contrast;
using rv::assets::testing::Decoded;
using rv::assets::testing::Pixels;
using rv::assets::testing::Rgb8;

namespace {

TEST(WindowSkin, WhiteTextStaysReadableOverTheFrame) {
  // The results panel is blended over the winner banner, whose frame shows through
  // under the score.
  const Pixels& p = Decoded(rects::Picture::kWindow);
  const Rgb8 white{255, 255, 255};
  for (int edge : {1, 2}) {
    const auto c = p.At(48, edge);
    const double ratio = Contrast(white, Rgb8{double(c[0]), double(c[1]), double(c[2])});
    std::printf("white text over the frame (row %d): %.2f:1\n", edge, ratio);
    EXPECT_GE(ratio, 3.0) << "row " << edge;
  }
}

}  // namespace
