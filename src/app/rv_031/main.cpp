// rv_031: the game. Exit status 0 after a regular end, 1 after a refused or failed start.

#include <chrono>
#include <cstdint>

#include "game/cpu/random_source.h"
#include "game/shell/startup.h"
#include "platform/sdl/sdl_platform.h"

int main() {
  // The CPU's randomness re-seeds from the clock, as the game always has.
  rv::EntropyRandom rng([] {
    return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  });
  rv::SdlPlatform platform;
  return rv::RunGame(platform, rng);
}
