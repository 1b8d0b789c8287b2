#pragma once
// Reading rv_sim's input: the position format and the numbers on command lines. Every
// problem becomes an InputError naming the line (0 for the command line) and what is wrong.

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "game/board/match_state.h"

namespace rv::sim {

struct InputError {
  int line;  // 0: the command line
  std::string message;
};

// One meaningful line of standard input: blank lines and lines starting with # are skipped,
// trailing white space (a CR included) is dropped.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in) {}
  // False at the end of the input.
  bool Next(std::string& line);
  int line_no() const { return line_no_; }

 private:
  std::istream& in_;
  int line_no_ = 0;
};

struct Position {
  MatchState state;  // GameMode, MoveRound, FirstMover, CharaX/Y, CharaLastX/Y, EnemyX/Y, Board
  int board_line = 0;
};

// Keys in any order before `board`, then 29 rows of 40 characters ('.', '1', '2'), row 0
// first. Missing keys keep their start-of-round values.
Position ReadPosition(std::istream& in);

std::vector<std::string> SplitWords(const std::string& line);

// A whole word as an integer in lo..hi; `what` names the value in the message.
int64_t ParseInteger(const std::string& word, int64_t lo, int64_t hi, const std::string& what,
                     int line);
double ParseFiniteDouble(const std::string& word, const std::string& what, int line);

}  // namespace rv::sim
