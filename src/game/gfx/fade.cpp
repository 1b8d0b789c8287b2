#include "game/gfx/fade.h"

#include "game/gfx/blit.h"

namespace rv {

void FadeScreen(FadeContext& c, int16_t kind) {
  const Surface* source = kind == 0   ? &c.pictures.Screen
                          : kind == 1 ? &c.pictures.PicBack
                                      : nullptr;
  if (source == nullptr) return;
  for (int step = 0; step <= 26; ++step) {
    c.loop.StartFrame(c.stamps);
    SetAlpha(c.blend, static_cast<int16_t>(10 * step));  // 0, 10, ..., 250, then 255
    AlphaBlend(c.display.GameScreen, 0, 0, 640, 480, *source, 0, 0, 640, 480, c.blend.BlendArg);
    c.display.Refresh();
    c.loop.EndFrame(c.stamps, 40);
  }
}

}  // namespace rv
