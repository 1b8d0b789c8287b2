// PNG pictures through the decoder module, bound with dlopen from the program folder and
// called as the game calls it (mLoadPNG, mGetPNGData, mEndPNG), then turned into a surface.

#include <dlfcn.h>

#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "game/gfx/picture_set.h"
#include "game/gfx/png_module.h"

using rv::fuzz::Require;

namespace {

// A 1 x 1 grey picture: a load that must always succeed.
constexpr uint8_t kTinyPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00,
    0x00, 0x3a, 0x7e, 0x9b, 0x55, 0x00, 0x00, 0x00, 0x0a, 0x49, 0x44, 0x41, 0x54, 0x78,
    0x9c, 0x63, 0x68, 0x00, 0x00, 0x00, 0x82, 0x00, 0x81, 0x77, 0xcd, 0x72, 0xb6, 0x00,
    0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};

// The module's entry points, bound a second time so the target can see whether the game's
// path released its picture: handles are numbered in order, so the one before a fresh load
// must be gone.
struct Probe {
  using LoadFn = int32_t (*)(const char*, uint32_t*, void*, int32_t*);
  using DataFn = int32_t (*)(uint32_t*, uint8_t*);
  using EndFn = int32_t (*)(uint32_t*);
  LoadFn load = nullptr;
  DataFn data = nullptr;
  EndFn end = nullptr;

  explicit Probe(const char* module) {
    void* handle = dlopen(module, RTLD_NOW | RTLD_LOCAL);
    Require(handle != nullptr, "the decoder module cannot be loaded");
    load = reinterpret_cast<LoadFn>(dlsym(handle, "mLoadPNG"));
    data = reinterpret_cast<DataFn>(dlsym(handle, "mGetPNGData"));
    end = reinterpret_cast<EndFn>(dlsym(handle, "mEndPNG"));
    Require(load && data && end, "the decoder module lacks an entry point");
  }
};

struct Harness {
  rv::fuzz::ScratchFolder folder{"png"};
  rv::PictureSet pictures;
  rv::PictureLoader loader{folder.path(), RV_FUZZ_MPNG_MODULE};
  Probe probe{RV_FUZZ_MPNG_MODULE};

  Harness() {
    std::filesystem::create_directories(folder.path() / "Picture");
    rv::fuzz::WriteBytes(loader.PicturePath("tiny"), kTinyPng, sizeof kTinyPng);
  }
};

Harness& TheHarness() {
  static Harness harness;
  return harness;
}

}  // namespace

// The module is bound before the first input, so that its coverage is known from the start.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Harness& h = TheHarness();
  Require(h.loader.LoadSurface(h.pictures, 0, "tiny").ok && h.loader.png().Bound(),
          "the decoder module cannot be bound");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Harness& h = TheHarness();
  rv::PictureSet& pictures = h.pictures;
  rv::PictureLoader& loader = h.loader;
  const Probe& probe = h.probe;
  rv::fuzz::WriteBytes(loader.PicturePath("fuzz"), data, size);

  pictures.PicChip = rv::Surface();
  const rv::LoadResult loaded = loader.LoadSurface(pictures, 0, "fuzz");
  Require(loaded.ok, "a PNG that cannot be decoded must leave its surface empty, silently");
  Require(loader.png().Bound(), "the decoder module was not bound");
  const rv::Surface& got = pictures.PicChip;
  Require(got.empty() || (got.width() <= 16384 && got.height() <= 16384),
          "a picture of an impossible size");
  for (int y = 0; y < got.height(); ++y) {
    for (int x = 0; x < got.width(); ++x) {
      Require((got.Row(y)[x] >> 24) == 0, "a pixel with a top byte");
    }
  }

  // The picture of the game's load was released: a fresh handle's predecessor is unknown.
  const std::string tiny = loader.PicturePath("tiny").string();
  uint32_t handle = 0;
  std::vector<uint8_t> info(rv::kBitmapInfoSize);
  int32_t bytes = 0;
  Require(probe.load(tiny.c_str(), &handle, info.data(), &bytes) == 1, "the tiny PNG failed");
  uint32_t before = handle - 1;
  std::vector<uint8_t> pixels(static_cast<size_t>(bytes));
  Require(probe.data(&before, pixels.data()) == 0, "a picture was never released");
  Require(probe.data(&handle, pixels.data()) == 1, "the tiny PNG has no data");
  Require(probe.end(&handle) == 1 && probe.end(&handle) == 0, "a handle ended twice");
  return 0;
}
