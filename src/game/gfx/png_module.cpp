#include "game/gfx/png_module.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "storage/stored_file.h"

namespace rv {
namespace {

// A decoder that reports more than this is not describing a picture of the game.
constexpr int32_t kMaxPixelBytes = 256 * 1024 * 1024;

}  // namespace

PngModule::PngModule(std::filesystem::path module_path) : module_path_(std::move(module_path)) {}

PngModule::~PngModule() {
  if (handle_ != nullptr) dlclose(handle_);
}

bool PngModule::Bind() {
  if (handle_ != nullptr) return true;
  void* handle = dlopen(module_path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return false;
  auto load = reinterpret_cast<LoadFn>(dlsym(handle, "mLoadPNG"));
  auto data = reinterpret_cast<DataFn>(dlsym(handle, "mGetPNGData"));
  auto end = reinterpret_cast<EndFn>(dlsym(handle, "mEndPNG"));
  if (load == nullptr || data == nullptr || end == nullptr) {
    dlclose(handle);
    return false;
  }
  handle_ = handle;
  load_ = load;
  data_ = data;
  end_ = end;
  return true;
}

Surface PngModule::LoadPNG(const std::filesystem::path& path) {
  if (!Bind()) return {};
  // The module opens the file by name with a plain open, which would wait for a writer on a
  // FIFO for as long as it takes. A name that is not a regular file never reaches it; a
  // missing one does, and fails there as it always has.
  const StoredFileOpen opened = OpenStoredFile(path, O_RDONLY);
  if (opened.ok()) ::close(opened.fd);
  if (opened.not_regular) return {};
  uint32_t png_handle = 0;
  std::vector<uint8_t> info(kBitmapInfoSize, 0);
  int32_t byte_count = 0;
  // Paths are handed over as the file system's own bytes (UTF-8 here).
  if (load_(path.c_str(), &png_handle, info.data(), &byte_count) != 1) return {};
  if (byte_count < 0 || byte_count > kMaxPixelBytes) {
    end_(&png_handle);
    return {};
  }
  std::vector<uint8_t> buffer(static_cast<size_t>(byte_count) + 1);  // +1: never a null data()
  int32_t got = data_(&png_handle, buffer.data());
  end_(&png_handle);
  if (got != 1) return {};
  return DibToPicture(buffer.data(), byte_count, info.data(), info.size());
}

}  // namespace rv
