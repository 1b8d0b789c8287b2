// rv_sim: exposes the rules core for checking and analysis. Reads a position (or a list of
// rounds) from standard input and prints what the rules make of it. --help (or -h) and
// --version stand before any command; --help (or -h) among a command's words prints the usage
// of that command.

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "app/rv_sim/commands.h"
#include "app/rv_sim/sim_input.h"
#include "app/rv_sim/standard_streams.h"
#include "start/command_line.h"

namespace {

struct Command {
  const char* name;
  rv::sim::CommandFn run;
  const char* usage;
  const char* help;  // what the command does, for COMMAND --help
};

constexpr const char* kExitStatusText =
    "Exit status: 0 done, 1 the rules or a file failed, 2 malformed input or command line.\n";

// A new command is one file and one entry here.
constexpr Command kCommands[] = {
    {"cpu", rv::sim::CpuCommand, "cpu [--seed N]",
     "Reads a position from standard input and prints the computer's choice in it: the rule\n"
     "that chose and the cell, RULE X Y. The seed (1 unless given) drives its random choices.\n"},
    {"four", rv::sim::FourCommand, "four",
     "Reads a position from standard input and prints whether each side has four in a row:\n"
     "\"1 yes\" or \"1 no\" for the player, then the same for the computer (2).\n"},
    {"settle", rv::sim::SettleCommand, "settle left|right|none",
     "Reads a position from standard input and prints where the player's cursor comes to\n"
     "rest after a step to the left, to the right or none: X Y.\n"},
    {"score", rv::sim::ScoreCommand, "score",
     "Reads an optional line \"mode M\" and then one line per round, TIME_MS W|L MOVES, from\n"
     "standard input and prints \"score S total_time T total_moves M\".\n"},
    {"rank", rv::sim::RankCommand, "rank FILE MODE ROUNDS SCORE MOVES TIME",
     "Enters one result into the ranking file FILE as the game does and prints the place it\n"
     "took, 1 to 9, or -1 when it entered no list. MODE is 0 to 2, ROUNDS 1, 3, 5, 7 or 9,\n"
     "TIME in hundredths of a second.\n"},
    {"match", rv::sim::MatchCommand,
     "match --mode M --rounds R --seed S [--player random|greedy] [--dir DIR] [--frames DIR] "
     "[--lock-wait SECONDS] [--lang LANG]",
     "Plays a whole match with the real game code and no window, the player's side played by\n"
     "a bot, and prints one line per round, then the score and the place.\n"
     "\n"
     "  --mode M             the computer's strength, 0 to 2\n"
     "  --rounds R           the match's length: 1, 3, 5, 7 or 9 rounds\n"
     "  --seed S             the seed of the computer's and the bot's random choices\n"
     "  --player KIND        random (the default) or greedy\n"
     "  --dir DIR            enter the result into DIR/rvdat.dat, under the game's lock\n"
     "  --frames DIR         save every presented frame as DIR/frame_NNNNNN.png\n"
     "  --lock-wait SECONDS  wait up to SECONDS (20 unless given) for the lock of DIR\n"
     "  --lang LANG          the texts and pictures of LANG: ja (the default) or en\n"
     "\n"
     "RAVOLIN_LANG=LANG in the environment chooses the language when --lang is not given.\n"},
};

int Usage(const std::string& problem) {
  std::cerr << "rv_sim: command line: " << problem << "; commands:";
  for (const Command& c : kCommands) std::cerr << " [" << c.usage << "]";
  std::cerr << "\n";
  return rv::sim::kExitBadInput;
}

void Help(std::ostream& out) {
  out << "Usage: ravolin-sim COMMAND [ARGUMENTS]\n"
         "       ravolin-sim COMMAND --help | -h\n"
         "       ravolin-sim --help | -h | --version\n"
         "\n"
         "Reads a position (or a list of rounds) from standard input and prints what the\n"
         "game's rules make of it. Commands:\n";
  for (const Command& c : kCommands) out << "  " << c.usage << "\n";
  out << "\n" << kExitStatusText;
}

void CommandHelp(const Command& c, std::ostream& out) {
  out << "Usage: ravolin-sim " << c.usage << "\n       ravolin-sim " << c.name << " --help\n\n"
      << c.help << "\n"
      << kExitStatusText;
}

// Anywhere among the command's words, as in the game's own command line: a ranking file
// named like an option is given as ./-h.
bool AsksForHelp(const std::vector<std::string>& args) {
  return std::ranges::any_of(args, [](const std::string& w) { return w == "--help" || w == "-h"; });
}

int Dispatch(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "--version") {
    if (argc > 2) return Usage("unexpected argument '" + std::string(argv[2]) + "'");
    if (name == "--version") {
      std::cout << rv::VersionText("ravolin-sim");
    } else {
      Help(std::cout);
    }
    return rv::sim::kExitOk;
  }
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const Command& c : kCommands) {
    if (name != c.name) continue;
    if (AsksForHelp(args)) {
      CommandHelp(c, std::cout);
      return rv::sim::kExitOk;
    }
    try {
      return c.run(rv::sim::CommandIo{args, std::cin, std::cout, std::cerr});
    } catch (const rv::sim::InputError& e) {
      std::cerr << "rv_sim: "
                << (e.line == 0 ? std::string("command line") : "line " + std::to_string(e.line))
                << ": " << e.message << "\n";
      return rv::sim::kExitBadInput;
    } catch (const std::exception& e) {
      std::cerr << "rv_sim: " << name << ": " << e.what() << "\n";
      return rv::sim::kExitFailed;
    }
  }
  return Usage("unknown command '" + name + "'");
}

}  // namespace

int main(int argc, char** argv) {
  rv::sim::HoldClosedStandardDescriptors();
  const int status = Dispatch(argc, argv);
  if (!rv::sim::FinishOutput(std::cout, std::cerr) && status == rv::sim::kExitOk) {
    return rv::sim::kExitFailed;
  }
  return status;
}
