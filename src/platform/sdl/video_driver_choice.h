#pragma once
// Which of SDL's video drivers the game may run on.
//
// Without a display SDL falls back to its off-screen driver: the game would then run
// invisibly, holding its marker and lock until somebody kills it. A player's game runs on a
// real display (X11 or Wayland) or takes the display-failure exit. A driver named in
// SDL_VIDEODRIVER is taken as asked for (tests and benchmarks run on "dummy").

#include <string_view>

namespace rv {

// True for the drivers that put a window in front of a player.
bool IsRealDisplayDriver(std::string_view driver);

// requested: the SDL_VIDEODRIVER setting, empty when unset.
bool AcceptVideoDriver(std::string_view chosen, std::string_view requested);

}  // namespace rv
