#pragma once
// What the game and the configuration dialog do first, before anything needs a display: read
// the command line (the usage and status 2 when it cannot be understood), answer --help and
// --version, check the game's volume, and choose the language (a language without its
// catalogue is a bad command line; a broken catalogue is said on standard error and the
// program speaks Japanese).

#include <filesystem>
#include <variant>

#include "lang/language.h"
#include "start/command_line.h"

namespace rv {

struct StartedProgram {
  CommandLine line;
  Language language;
  std::filesystem::path program_folder;
  int volume_percent = 100;  // the game's: the option, else RAVOLIN_VOLUME
};

// The status to end with at once, or what the program starts with. Messages go to standard
// output and standard error under the name of rules.program.
std::variant<int, StartedProgram> StartProgram(int argc, char** argv,
                                               const CommandLineRules& rules);

}  // namespace rv
