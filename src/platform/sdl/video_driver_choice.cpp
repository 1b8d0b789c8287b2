#include "platform/sdl/video_driver_choice.h"

namespace rv {

bool IsRealDisplayDriver(std::string_view driver) { return driver == "x11" || driver == "wayland"; }

bool AcceptVideoDriver(std::string_view chosen, std::string_view requested) {
  if (chosen.empty()) return false;
  return !requested.empty() || IsRealDisplayDriver(chosen);
}

}  // namespace rv
