// rv_031: the game. Exit status 0 after a regular end (and after --help or --version), 1
// after a refused or failed start, 2 for a command line it cannot understand.

#include <chrono>
#include <cstdint>
#include <variant>

#include "game/cpu/random_source.h"
#include "game/shell/startup.h"
#include "platform/sdl/sdl_platform.h"
#include "start/program_start.h"

int main(int argc, char** argv) {
  auto start = rv::StartProgram(argc, argv, rv::CommandLineRules{"ravolin", true});
  if (const int* status = std::get_if<int>(&start)) return *status;
  const rv::StartedProgram& program = std::get<rv::StartedProgram>(start);
  // The CPU's randomness re-seeds from the clock, as the game always has.
  rv::EntropyRandom rng([] {
    return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  });
  rv::SdlPlatform platform(rv::SdlWindowOptions{.fullscreen = !program.line.window,
                                                .scaled = true,
                                                .volume_percent = program.volume_percent});
  return rv::RunGame(platform, rng, program.language);
}
