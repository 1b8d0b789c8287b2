#pragma once
// The PNG path: the decoder module mpng.so, bound with dlopen on its first use, and the
// turning of its device-independent bitmap into a surface.

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "game/gfx/surface.h"

namespace rv {

// The size of the bitmap-information block: a 40-byte BITMAPINFOHEADER and 256 colour entries.
constexpr size_t kBitmapInfoSize = 1064;

// Turns a DIB (the header of `info`, its colour entries, and `byte_count` pixel bytes) into
// a surface. Bottom-up or top-down by the sign of the height; 8, 24 or 32 bits per pixel,
// uncompressed, rows padded to 4 bytes. Nothing in the header is trusted: any inconsistency
// gives an empty surface.
Surface DibToPicture(const uint8_t* pixels, int64_t byte_count, const uint8_t* info,
                     size_t info_size = kBitmapInfoSize);

// Reads an uncompressed BMP file (8, 24 or 32 bit, either row order); empty when the bytes
// are not such a picture.
Surface ReadBmp(const uint8_t* data, size_t size);

class PngModule {
 public:
  explicit PngModule(std::filesystem::path module_path);
  ~PngModule();
  PngModule(const PngModule&) = delete;
  PngModule& operator=(const PngModule&) = delete;

  // Decodes a PNG file. Every failure is silent and gives an empty surface: the module
  // cannot be bound, mLoadPNG fails (mEndPNG is then not called), mGetPNGData fails (mEndPNG
  // is still called once), or the bitmap it describes is not usable.
  Surface LoadPNG(const std::filesystem::path& path);

  bool Bound() const { return handle_ != nullptr; }

 private:
  using LoadFn = int32_t (*)(const char*, uint32_t*, void*, int32_t*);
  using DataFn = int32_t (*)(uint32_t*, uint8_t*);
  using EndFn = int32_t (*)(uint32_t*);

  // Binds the module once; a failed attempt is tried again on the next use.
  bool Bind();

  std::filesystem::path module_path_;
  void* handle_ = nullptr;
  LoadFn load_ = nullptr;
  DataFn data_ = nullptr;
  EndFn end_ = nullptr;
};

}  // namespace rv
