#pragma once
// The full-screen fade of 27 paced steps.

#include <cstdint>

#include "game/gfx/blend_state.h"
#include "game/gfx/display.h"
#include "game/gfx/picture_set.h"
#include "game/pace/event_loop.h"

namespace rv {

// What a fade reads and writes; the game owns all of them.
struct FadeContext {
  Display& display;
  PictureSet& pictures;
  BlendState& blend;
  EventLoop& loop;
  FrameStamps& stamps;
};

// Kind 0 brings in Screen, kind 1 PicBack; any other kind returns at once, drawing nothing.
// GameScreen is never cleared in between: each step blends the source again over what the
// previous ones left, and the last step, at 255, leaves an exact copy of the source.
void FadeScreen(FadeContext& context, int16_t kind);

}  // namespace rv
