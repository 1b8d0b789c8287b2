#pragma once
// The one constant-alpha setting every blend of the game passes.

#include <cstdint>

namespace rv {

struct BlendState {
  int32_t Alpha = 0;     // opacity of the next blend, 0..255
  int32_t BlendArg = 0;  // always Alpha x 65536: the packed blend description
};

// Alpha = level, capped at 255; BlendArg follows. Levels below 0 are never passed.
inline void SetAlpha(BlendState& blend, int16_t level) {
  blend.Alpha = level > 255 ? 255 : level;
  blend.BlendArg = blend.Alpha * 65536;
}

}  // namespace rv
