#pragma once
// Which SDL renderer scales the 640 x 480 picture to the desktop.
//
// Measured on a machine without a GPU, where GL is the llvmpipe software rasteriser: the
// GL renderer takes 106 MB resident, 4.3 ms per present and three times longer to start;
// SDL's software renderer takes 18 MB and 1.4 ms windowed, 3.6 ms at 1280 x 1024. With a
// real GPU the accelerated renderer scales for nothing, while software scaling to a 4K
// desktop costs far more. So: software where GL could only be a software rasteriser,
// accelerated where there is real hardware.

#include <string>
#include <string_view>

namespace rv {

enum class RendererKind { kSoftware, kAccelerated };

struct GraphicsFacts {
  // A DRM render node (/dev/dri/renderD*) or a proprietary driver's device (/dev/nvidia0).
  // Without one, any GL on Linux is a software rasteriser.
  bool has_gpu_device = false;
  // The GL_RENDERER string of a probe context, empty when no probe was made or it failed.
  std::string gl_renderer;
};

// True for the renderer strings of Mesa's and others' software rasterisers.
bool IsSoftwareGlRenderer(std::string_view gl_renderer);

RendererKind ChooseRenderer(const GraphicsFacts& facts);

// Looks for GPU devices under `dev_folder` (normally /dev).
bool HasGpuDevice(const std::string& dev_folder);

}  // namespace rv
