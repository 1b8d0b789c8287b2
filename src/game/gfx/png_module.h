#pragma once
// The PNG path: the decoder module mpng.so, bound with dlopen on its first use. It hands
// each picture over as a device-independent bitmap in a kBitmapInfoSize information block.

#include <cstdint>
#include <filesystem>

#include "game/gfx/bitmap_decoder.h"
#include "game/gfx/surface.h"

namespace rv {

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
