// The pieces of the selection and ranking screens read for what they are: labels as
// labels, the start button as the goal of the screen whether or not it is chosen.
#include <gtest/gtest.h>

#include <algorithm>

#include "picture_reader.h"
#include "support/colour_vision.h"

namespace rects = rv::rects;
using rv::assets::testing::Decoded;
using rv::assets::testing::Luminance;
using rv::assets::testing::Rgb8;

namespace {

Rgb8 MeanColour(const rects::Rect& r) {
  const auto& p = Decoded(r.picture);
  Rgb8 sum{};
  for (int y = r.y; y < r.Bottom(); ++y)
    for (int x = r.x; x < r.Right(); ++x)
      for (std::size_t c = 0; c < 3; ++c) sum[c] += p.At(x, y)[c];
  for (double& s : sum) s /= static_cast<double>(r.w * r.h);
  return sum;
}

TEST(SetupPieces, TheStartButtonIsNeverAGreyPlate) {
  for (const rects::Rect& button : {rects::kStartButton, rects::kStartButtonSelected}) {
    const Rgb8 c = MeanColour(button);
    const double chroma =
        *std::max_element(c.begin(), c.end()) - *std::min_element(c.begin(), c.end());
    EXPECT_GE(chroma, 40.0) << "start button at y " << button.y;
    EXPECT_GT(c[0], c[2]) << "warm, as the goal of the screen, at y " << button.y;
  }
}

TEST(SetupPieces, TheStartButtonOutshinesTheLabels) {
  // Labels are read, not pressed: even the chosen label's field stays well darker than
  // the start button at rest.
  const double start = Luminance(MeanColour(rects::kStartButton));
  for (const rects::Rect& label : {rects::kDifficultyLabelSelected, rects::kRoundsLabelSelected,
                                   rects::kDifficultyLabel, rects::kRoundsLabel}) {
    EXPECT_GT(start, 1.5 * Luminance(MeanColour(label))) << "label at y " << label.y;
  }
}

}  // namespace
