#include "start/program_start.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "start/language_choice.h"
#include "start/program_folder.h"

namespace rv {

namespace {

int RefuseLine(const CommandLineRules& rules, const std::string& why) {
  std::fprintf(stderr, "%s: %s\n%s", std::string(rules.program).c_str(), why.c_str(),
               UsageText(rules).c_str());
  return kUsageExitStatus;
}

}  // namespace

std::variant<int, StartedProgram> StartProgram(int argc, char** argv,
                                               const CommandLineRules& rules) {
  const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), rules);
  if (!line.ok()) return RefuseLine(rules, line.error);
  if (line.help || line.version) {
    const std::string text = line.help ? UsageText(rules) : VersionText(rules.program);
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  int volume_percent = 100;
  if (rules.game_options) {
    const VolumeChoice volume = ChooseVolume(line.volume, std::getenv(kVolumeVariable));
    if (!volume.error.empty()) return RefuseLine(rules, volume.error);
    volume_percent = volume.percent;
  }
  std::filesystem::path program_folder = ProgramFolder();
  LanguageLoad load = ChooseLanguage(program_folder, line.lang);
  if (!load.known) return RefuseLine(rules, load.error);
  if (!load.error.empty()) {
    std::fprintf(stderr, "%s: %s\n", std::string(rules.program).c_str(), load.error.c_str());
  }
  return StartedProgram{line, std::move(load.language), std::move(program_folder), volume_percent};
}

}  // namespace rv
