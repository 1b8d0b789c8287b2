// rv_sim score: the match score from `mode M` and one line per round, TIME_MS W|L MOVES.

#include <charconv>
#include <ostream>

#include "app/rv_sim/commands.h"
#include "app/rv_sim/sim_input.h"
#include "game/ranking/score.h"

namespace rv::sim {

namespace {

constexpr int kMaxRounds = 9;

std::string ShortestDouble(double v) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

}  // namespace

int ScoreCommand(const CommandIo& io) {
  if (!io.args.empty()) throw InputError{0, "score takes no arguments"};
  LineReader reader(io.in);
  int16_t mode = 0;
  int16_t player_wins = 0;
  int16_t cpu_wins = 0;
  std::vector<int32_t> times;
  std::vector<int16_t> won;
  std::vector<int16_t> moves;
  std::string line;
  while (reader.Next(line)) {
    const int n = reader.line_no();
    const std::vector<std::string> words = SplitWords(line);
    if (words.empty()) throw InputError{n, "a blank line where a round was expected"};
    if (words[0] == "mode") {
      if (!times.empty()) throw InputError{n, "'mode' must come before the rounds"};
      if (words.size() != 2) throw InputError{n, "'mode' takes 1 value"};
      mode = static_cast<int16_t>(ParseInteger(words[1], 0, 2, "mode", n));
      continue;
    }
    if (words.size() != 3) throw InputError{n, "a round is TIME_MS W|L MOVES"};
    if (times.size() == kMaxRounds) throw InputError{n, "more than 9 rounds"};
    times.push_back(static_cast<int32_t>(ParseInteger(words[0], 0, INT32_MAX, "time", n)));
    if (words[1] != "W" && words[1] != "L") {
      throw InputError{n, "winner '" + words[1] + "' is neither W nor L"};
    }
    const bool player = words[1] == "W";
    won.push_back(player ? -1 : 0);
    ++(player ? player_wins : cpu_wins);
    moves.push_back(static_cast<int16_t>(ParseInteger(words[2], 1, INT16_MAX, "moves", n)));
  }
  if (times.empty()) throw InputError{reader.line_no() + 1, "no rounds given"};
  const ScoreResult r = ComputeScore(mode, player_wins, cpu_wins, times, won, moves);
  if (!r.ok) {
    io.err << "rv_sim: score: " << r.error << "\n";
    return kExitFailed;
  }
  io.out << "score " << r.score << " total_time " << r.TotalTime << " total_moves "
         << ShortestDouble(r.TotalMoves) << "\n";
  return kExitOk;
}

}  // namespace rv::sim
