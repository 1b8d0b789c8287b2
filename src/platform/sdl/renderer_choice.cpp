#include "platform/sdl/renderer_choice.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace rv {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

}  // namespace

bool IsSoftwareGlRenderer(std::string_view gl_renderer) {
  const std::string name = Lower(gl_renderer);
  for (const char* marker : {"llvmpipe", "softpipe", "swrast", "software rasterizer", "swiftshader",
                             "lavapipe", "gdi generic"}) {
    if (name.find(marker) != std::string::npos) return true;
  }
  return false;
}

// Without a GPU device there is no point in probing GL at all: the probe alone would load
// the whole software GL stack.
RendererKind ChooseRenderer(const GraphicsFacts& facts) {
  if (!facts.has_gpu_device) return RendererKind::kSoftware;
  if (facts.gl_renderer.empty() || IsSoftwareGlRenderer(facts.gl_renderer)) {
    return RendererKind::kSoftware;
  }
  return RendererKind::kAccelerated;
}

bool HasGpuDevice(const std::string& dev_folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(fs::path(dev_folder) / "nvidia0", ec)) return true;
  for (fs::directory_iterator it(fs::path(dev_folder) / "dri", ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->path().filename().string().rfind("renderD", 0) == 0) return true;
  }
  return false;
}

}  // namespace rv
