#pragma once
// The command line of the game and of the configuration dialog: --help, --version,
// --lang LANG (or --lang=LANG) and, for the game only, --window and --volume PERCENT. Pure: the
// caller prints the texts and picks the exit status. The language is only checked for its shape
// here; which languages exist is the program folder's business.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rv {

// Exit status of a command line that cannot be understood (the usage goes to standard error).
inline constexpr int kUsageExitStatus = 2;

// An option that belongs to somebody else (Qt's -platform NAME and the like) and is let
// through untouched, with its value when it takes one. Written with one dash or two, and a
// value either as the next word or after "=".
struct ForeignOption {
  std::string_view name;  // without dashes
  bool takes_value = false;
};

struct CommandLineRules {
  std::string_view program;   // the installed name, for the usage and the version
  bool game_options = false;  // --window and --volume: the game's own

  std::span<const ForeignOption> foreign = {};
};

struct CommandLine {
  bool help = false;
  bool version = false;
  bool window = false;
  std::optional<std::string> lang;
  std::optional<int> volume;  // 0..100
  std::string error;          // English; empty when the line is good

  bool ok() const { return error.empty(); }
};

// Letters and underscores, at most 10: the shape of a language's code and of the folder of
// its catalogue.
bool IsLanguageCode(std::string_view code);

// args are the words after the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& args, const CommandLineRules& rules);

inline constexpr const char* kVolumeVariable = "RAVOLIN_VOLUME";

// The volume to play at, in percent: the option wins over the variable; neither (or an
// empty variable) gives 100. A variable that is no whole number from 0 to 100 sets `error`.
struct VolumeChoice {
  int percent = 100;
  std::string error;  // English; empty when the choice is good
};
VolumeChoice ChooseVolume(const std::optional<int>& option, const char* variable);

// The usage, several lines ending in a line break.
std::string UsageText(const CommandLineRules& rules);

// "ravolin 0.31" and a line break.
std::string VersionText(std::string_view program);

}  // namespace rv
