#include "platform/sdl/sdl_keys.h"

#include <SDL_keycode.h>

#include "platform/platform.h"

namespace rv {

int16_t MapSdlKey(int32_t sdl_keycode) {
  switch (sdl_keycode) {
    case SDLK_UP:
      return vk::kUp;
    case SDLK_DOWN:
      return vk::kDown;
    case SDLK_LEFT:
      return vk::kLeft;
    case SDLK_RIGHT:
      return vk::kRight;
    case SDLK_x:
      return vk::kX;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return vk::kReturn;
    case SDLK_z:
      return vk::kZ;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return vk::kShift;
    case SDLK_ESCAPE:
      return vk::kEscape;
    default:
      return 0;
  }
}

}  // namespace rv
