// The desktop icon: the title's gold letter on a night-blue tile, above a row of four of
// the player's blocks. Painted at each size rather than scaled, so the small sizes stay
// sharp.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rv::assets {

// 8-bit RGBA, rows top to bottom; the colour is not premultiplied.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

// The sizes of the hicolor theme we install.
inline constexpr int kIconSizes[] = {48, 128, 256};

// The icon at size x size pixels (16 and more).
RgbaImage BuildIcon(int size);

// Deterministic PNG with an alpha channel; false on any I/O error.
bool WritePngRgba(const std::string& path, const RgbaImage& img);

// Writes THEME_ROOT/hicolor/NxN/apps/NAME.png for every size; false on the first failure.
bool WriteIconTheme(const std::filesystem::path& theme_root, const std::string& name);

}  // namespace rv::assets
