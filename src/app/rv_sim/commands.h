#pragma once
// The commands of rv_sim, one file each. A command returns the exit status; malformed input
// is thrown as an InputError and ends with status 2.

#include <iosfwd>
#include <string>
#include <vector>

namespace rv::sim {

struct CommandIo {
  const std::vector<std::string>& args;  // the words after the command's name
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;    // the rules report an error (an overflow, a file that fails)
constexpr int kExitBadInput = 2;  // malformed input or command line

using CommandFn = int (*)(const CommandIo& io);

int CpuCommand(const CommandIo& io);
int FourCommand(const CommandIo& io);
int SettleCommand(const CommandIo& io);
int ScoreCommand(const CommandIo& io);
int RankCommand(const CommandIo& io);
int MatchCommand(const CommandIo& io);

}  // namespace rv::sim
