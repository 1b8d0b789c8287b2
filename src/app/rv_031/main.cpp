// rv_031: the game. Exit status 0 after a regular end, 1 after a refused or failed start.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>

#include "config/language_choice.h"
#include "game/cpu/random_source.h"
#include "game/shell/startup.h"
#include "platform/sdl/sdl_platform.h"

int main() {
  // The CPU's randomness re-seeds from the clock, as the game always has.
  rv::EntropyRandom rng([] {
    return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  });
  rv::SdlPlatform platform;
  rv::StartupOptions options;
  const rv::LanguageLoad language =
      rv::LoadLanguage(platform.ProgramFolder(),
                       rv::RequestedLanguage(std::nullopt, std::getenv(rv::kLanguageVariable)));
  if (!language.known) {
    std::cerr << "rv_031: " << language.error << std::endl;
    return 2;
  }
  if (!language.error.empty()) std::cerr << "rv_031: " << language.error << std::endl;
  options.language = language.code;
  options.words = language.words;
  return rv::RunGame(platform, rng, options);
}
