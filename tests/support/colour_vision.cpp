#include "support/colour_vision.h"

#include <algorithm>
#include <cmath>

namespace rv::assets::testing {
namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// Machado et al. 2009, severity 1.0.
constexpr Matrix kProtanopia{{{0.152286, 1.052583, -0.204868},
                              {0.114503, 0.786281, 0.099216},
                              {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix kDeuteranopia{{{0.367322, 0.860646, -0.227968},
                                {0.280085, 0.672501, 0.047413},
                                {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix kTritanopia{{{1.255528, -0.076749, -0.178779},
                              {-0.078411, 0.930809, 0.147602},
                              {0.004733, 0.691367, 0.303900}}};

double Linear(double channel) {
  const double c = std::clamp(channel, 0.0, 255.0) / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// Linear RGB of the colour as the given vision sees it.
std::array<double, 3> SeenLinear(const Rgb8& colour, Vision v) {
  std::array<double, 3> lin{Linear(colour[0]), Linear(colour[1]), Linear(colour[2])};
  const Matrix* m = v == Vision::kProtan   ? &kProtanopia
                    : v == Vision::kDeutan ? &kDeuteranopia
                    : v == Vision::kTritan ? &kTritanopia
                                           : nullptr;
  if (m == nullptr) return lin;
  std::array<double, 3> seen{};
  for (std::size_t i = 0; i < 3; ++i) {
    for (std::size_t j = 0; j < 3; ++j) seen[i] += (*m)[i][j] * lin[j];
    seen[i] = std::clamp(seen[i], 0.0, 1.0);
  }
  return seen;
}

}  // namespace

const char* VisionName(Vision v) {
  switch (v) {
    case Vision::kNormal:
      return "normal vision";
    case Vision::kProtan:
      return "protanopia";
    case Vision::kDeutan:
      return "deuteranopia";
    case Vision::kTritan:
      return "tritanopia";
  }
  return "?";
}

Rgb8 AsSeen(const Rgb8& colour, Vision v) {
  const std::array<double, 3> lin = SeenLinear(colour, v);
  Rgb8 out{};
  for (std::size_t i = 0; i < 3; ++i) {
    const double c =
        lin[i] <= 0.0031308 ? lin[i] * 12.92 : 1.055 * std::pow(lin[i], 1 / 2.4) - 0.055;
    out[i] = 255 * c;
  }
  return out;
}

double Hue(const Rgb8& c) {
  const double hi = std::max({c[0], c[1], c[2]}), lo = std::min({c[0], c[1], c[2]});
  if (hi - lo < 1e-9) return 0;
  double h = hi == c[0]   ? (c[1] - c[2]) / (hi - lo)
             : hi == c[1] ? 2 + (c[2] - c[0]) / (hi - lo)
                          : 4 + (c[0] - c[1]) / (hi - lo);
  h *= 60;
  return h < 0 ? h + 360 : h;
}

double Saturation(const Rgb8& c) {
  const double hi = std::max({c[0], c[1], c[2]}), lo = std::min({c[0], c[1], c[2]});
  return hi <= 0 ? 0 : (hi - lo) / hi;
}

double Luminance(const Rgb8& colour, Vision v) {
  const std::array<double, 3> lin = SeenLinear(colour, v);
  return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2];
}

double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

double Contrast(const Rgb8& a, const Rgb8& b, Vision v) {
  return Contrast(Luminance(a, v), Luminance(b, v));
}

}  // namespace rv::assets::testing
