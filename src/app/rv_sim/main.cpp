// rv_sim: exposes the rules core for checking and analysis. Reads a position (or a list of
// rounds) from standard input and prints what the rules make of it. --help (or -h) and
// --version stand before any command.

#include <iostream>
#include <string>
#include <vector>

#include "app/rv_sim/commands.h"
#include "app/rv_sim/sim_input.h"
#include "app/rv_sim/standard_streams.h"
#include "config/command_line.h"

namespace {

struct Command {
  const char* name;
  rv::sim::CommandFn run;
  const char* usage;
};

// A new command is one file and one line here.
constexpr Command kCommands[] = {
    {"cpu", rv::sim::RunCpu, "cpu [--seed N]"},
    {"four", rv::sim::RunFour, "four"},
    {"settle", rv::sim::RunSettle, "settle left|right|none"},
    {"score", rv::sim::RunScore, "score"},
    {"rank", rv::sim::RunRank, "rank FILE MODE ROUNDS SCORE MOVES TIME"},
    {"match", rv::sim::RunMatch,
     "match --mode M --rounds R --seed S [--player random|greedy] [--dir DIR] [--frames DIR] "
     "[--lock-wait SECONDS] [--lang LANG]"},
};

int Usage(const std::string& problem) {
  std::cerr << "rv_sim: command line: " << problem << "; commands:";
  for (const Command& c : kCommands) std::cerr << " [" << c.usage << "]";
  std::cerr << "\n";
  return rv::sim::kExitBadInput;
}

void Help(std::ostream& out) {
  out << "Usage: ravolin-sim COMMAND [ARGUMENTS]\n"
         "       ravolin-sim --help | --version\n"
         "\n"
         "Reads a position (or a list of rounds) from standard input and prints what the\n"
         "game's rules make of it. Commands:\n";
  for (const Command& c : kCommands) out << "  " << c.usage << "\n";
  out << "\nExit status: 0 done, 1 the rules or a file failed, 2 malformed input or command "
         "line.\n";
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
