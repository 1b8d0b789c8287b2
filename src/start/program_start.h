#pragma once
// What the game and the dialog do first, before anything needs a display: the command line
// (the usage and status 2 when it cannot be understood), --help and --version, the game's
// volume, and the language (one without its catalogue is a bad command line; a broken
// catalogue is said on standard error and the words stay Japanese).

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

// The status to end with at once, or what the program starts with. The texts go to standard
// output and standard error under the name rules.program.
std::variant<int, StartedProgram> StartProgram(int argc, char** argv,
                                               const CommandLineRules& rules);

}  // namespace rv
