// rv_031: the game. Exit status 0 after a regular end (and after --help or --version), 1
// after a refused or failed start, 2 for a command line it cannot understand.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/command_line.h"
#include "config/language_choice.h"
#include "game/cpu/random_source.h"
#include "game/shell/startup.h"
#include "platform/sdl/sdl_platform.h"

int main(int argc, char** argv) {
  const rv::CommandLineRules rules{"ravolin", true};
  const rv::CommandLine line =
      rv::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), rules);
  if (!line.ok()) {
    std::fprintf(stderr, "ravolin: %s\n%s", line.error.c_str(), rv::UsageText(rules).c_str());
    return rv::kUsageExitStatus;
  }
  if (line.help || line.version) {
    const std::string text = line.help ? rv::UsageText(rules) : rv::VersionText(rules.program);
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  const rv::VolumeChoice volume = rv::ChooseVolume(line.volume, std::getenv(rv::kVolumeVariable));
  if (!volume.error.empty()) {
    std::fprintf(stderr, "ravolin: %s\n%s", volume.error.c_str(), rv::UsageText(rules).c_str());
    return rv::kUsageExitStatus;
  }
  // The CPU's randomness re-seeds from the clock, as the game always has.
  rv::EntropyRandom rng([] {
    return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  });
  rv::SdlPlatform platform(rv::SdlWindowOptions{
      .fullscreen = !line.window, .scaled = true, .volume_percent = volume.percent});
  // A language without its catalogue is a bad command line (or a bad RAVOLIN_LANG); a broken
  // catalogue is said on standard error and the game plays in Japanese.
  const rv::LanguageLoad language =
      rv::LoadLanguage(platform.ProgramFolder(),
                       rv::RequestedLanguage(line.lang, std::getenv(rv::kLanguageVariable)));
  if (!language.known) {
    std::fprintf(stderr, "ravolin: %s\n%s", language.error.c_str(), rv::UsageText(rules).c_str());
    return rv::kUsageExitStatus;
  }
  if (!language.error.empty()) std::fprintf(stderr, "ravolin: %s\n", language.error.c_str());
  rv::StartupOptions options;
  options.language = language.code;
  options.words = language.words;
  return rv::RunGame(platform, rng, options);
}
