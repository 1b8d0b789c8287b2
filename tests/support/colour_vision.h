// Relative luminance and contrast ratios as WCAG defines them, and how a colour looks
// to a player with a colour-vision deficiency (the model of Machado, Oliveira and
// Fernandes, 2009, at severity 1.0, applied in linear RGB).
#pragma once

#include <array>

namespace rv::assets::testing {

using Rgb8 = std::array<double, 3>;  // sRGB channels 0..255, fractional for averages

enum class Vision { kNormal, kProtan, kDeutan, kTritan };
inline constexpr std::array<Vision, 4> kAllVisions{Vision::kNormal, Vision::kProtan,
                                                   Vision::kDeutan, Vision::kTritan};
const char* VisionName(Vision v);

// The colour as the given vision sees it, in sRGB channels 0..255.
Rgb8 AsSeen(const Rgb8& colour, Vision v);
// Hue in degrees (0..360; red 0, blue 240) and HSV saturation (0..1) of a colour.
double Hue(const Rgb8& colour);
double Saturation(const Rgb8& colour);
// Relative luminance (0..1) of the colour as the given vision sees it.
double Luminance(const Rgb8& colour, Vision v = Vision::kNormal);
// (lighter + 0.05) / (darker + 0.05).
double Contrast(double a, double b);
double Contrast(const Rgb8& a, const Rgb8& b, Vision v = Vision::kNormal);

}  // namespace rv::assets::testing
