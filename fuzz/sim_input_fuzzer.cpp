// rv_sim's standard input: the position format read by cpu, four and settle, and the round
// lines read by score, each followed by what the command does with what it read.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/rv_sim/commands.h"
#include "app/rv_sim/sim_input.h"
#include "fuzz_support.h"

using rv::fuzz::Require;

namespace {

struct Command {
  rv::sim::CommandFn run;
  std::vector<std::string> args;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static const Command kCommands[] = {
      {rv::sim::CpuCommand, {"--seed", "7"}}, {rv::sim::FourCommand, {}},
      {rv::sim::SettleCommand, {"left"}},     {rv::sim::SettleCommand, {"right"}},
      {rv::sim::SettleCommand, {"none"}},     {rv::sim::ScoreCommand, {}}};
  for (const Command& command : kCommands) {
    std::istringstream in(text);
    std::ostringstream out;
    std::ostringstream err;
    const rv::sim::CommandIo io{command.args, in, out, err};
    try {
      const int status = command.run(io);
      Require(status == rv::sim::kExitOk || status == rv::sim::kExitFailed, "an unknown status");
      Require(status != rv::sim::kExitOk || !out.str().empty(), "a success that printed nothing");
    } catch (const rv::sim::InputError& error) {
      // Lines are counted from 1; 0 is the command line (or the position disagreeing with it).
      Require(error.line >= 0, "an input error that names no line");
      Require(!error.message.empty(), "an input error that says nothing");
    }
  }
  return 0;
}
