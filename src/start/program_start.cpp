#include "start/program_start.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "start/language_choice.h"
#include "start/program_folder.h"

namespace rv {

namespace {

void Say(const CommandLineRules& rules, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", std::string(rules.program).c_str(), text.c_str());
}

int RefuseLine(const CommandLineRules& rules, const std::string& why) {
  Say(rules, why);
  std::fputs(UsageText(rules).c_str(), stderr);
  return kUsageExitStatus;
}

}  // namespace

std::variant<int, StartedProgram> StartProgram(int argc, char** argv,
                                               const CommandLineRules& rules) {
  const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), rules);
  if (!line.ok()) return RefuseLine(rules, line.error);
  if (line.help || line.version) {
    std::fputs((line.help ? UsageText(rules) : VersionText(rules.program)).c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  const VolumeChoice volume = ChooseVolume(line.volume, std::getenv(kVolumeVariable));
  if (rules.game_options && !volume.error.empty()) return RefuseLine(rules, volume.error);
  std::filesystem::path folder = ProgramFolder();
  LanguageLoad load = ChooseLanguage(folder, line.lang);
  if (!load.known) return RefuseLine(rules, load.error);
  if (!load.error.empty()) Say(rules, load.error);
  return StartedProgram{line, std::move(load.language), std::move(folder), volume.percent};
}

}  // namespace rv
