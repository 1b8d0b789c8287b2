#pragma once
// A presented picture kept by the headless platform, readable pixel by pixel.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace rv {

struct CapturedFrame {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top-down
  uint32_t time = 0;             // virtual time of the Present

  // 0 outside the picture, so a test reading past an edge sees black, not garbage.
  uint32_t Pixel(int x, int y) const;
};

// Writes the frame as an 8-bit RGB PNG. False when the file cannot be written or the
// frame is empty.
bool SavePng(const CapturedFrame& frame, const std::filesystem::path& file);

// Reads an 8-bit RGB or RGBA PNG back into a frame (alpha dropped). False for a file
// that is missing or not such a PNG. Lets tests check what SavePng wrote.
bool LoadPng(const std::filesystem::path& file, CapturedFrame& frame);

}  // namespace rv
