// Reads the generated picture files back the way a loader would, and shares
// one generated set between the tests of a run.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "game/gfx/picture_rects.h"

namespace rv::assets::testing {

struct Pixels {
  int w = 0, h = 0;
  std::vector<std::uint8_t> rgb;  // rows top to bottom
  std::array<int, 3> At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
  bool IsBlack(int x, int y) const { return At(x, y) == std::array<int, 3>{0, 0, 0}; }
  bool IsWhite(int x, int y) const { return At(x, y) == std::array<int, 3>{255, 255, 255}; }
};

struct PngInfo {
  bool ok = false;
  int bit_depth = 0;
  int color_type = 0;
  bool has_time = false;
  Pixels pixels;
};

struct BmpInfo {
  bool ok = false;
  int bits = 0;
  std::uint32_t compression = 0;
  bool bottom_up = false;
  Pixels pixels;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
PngInfo ReadPng(const std::filesystem::path& path);
BmpInfo ReadBmp(const std::filesystem::path& path);

// Generates the pictures once per test run into a temporary folder and
// returns that folder.
const std::filesystem::path& GeneratedFolder();
std::filesystem::path PicturePath(const std::filesystem::path& folder, const rects::PictureFile& f);
// The decoded picture of the shared generated set.
const Pixels& Decoded(rects::Picture p);

}  // namespace rv::assets::testing
