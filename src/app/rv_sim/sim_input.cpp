#include "app/rv_sim/sim_input.h"

#include <charconv>
#include <cmath>
#include <set>
#include <sstream>

namespace rv::sim {

namespace {

// The same white space that SplitWords splits on, so a line kept as meaningful always has a
// first word (a line of nothing but a vertical tab or a form feed is blank).
constexpr const char* kWhiteSpace = " \t\n\v\f\r";

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(kWhiteSpace);
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(kWhiteSpace);
  return s.substr(first, last - first + 1);
}

void ExpectCount(const std::vector<std::string>& words, std::size_t values, int line) {
  if (words.size() != values + 1) {
    throw InputError{line, "'" + words[0] + "' takes " + std::to_string(values) + " value" +
                               (values == 1 ? "" : "s") + ", got " +
                               std::to_string(words.size() - 1)};
  }
}

int16_t Value(const std::string& word, int lo, int hi, const std::string& what, int line) {
  return static_cast<int16_t>(ParseInteger(word, lo, hi, what, line));
}

// One key line before the board; false when the line is `board`.
bool ReadKey(const std::vector<std::string>& words, int line, MatchState& s,
             std::set<std::string>& seen) {
  const std::string& key = words[0];
  if (!seen.insert(key).second) throw InputError{line, "'" + key + "' is given twice"};
  if (key == "board") {
    ExpectCount(words, 0, line);
    return false;
  }
  if (key == "mode") {
    ExpectCount(words, 1, line);
    s.GameMode = Value(words[1], 0, 2, "mode", line);
  } else if (key == "move_round") {
    ExpectCount(words, 1, line);
    s.MoveRound = Value(words[1], 1, INT16_MAX, "move_round", line);
  } else if (key == "first_mover") {
    ExpectCount(words, 1, line);
    s.FirstMover = Value(words[1], 1, 2, "first_mover", line);
  } else if (key == "chara") {
    ExpectCount(words, 2, line);
    s.CharaX = Value(words[1], -1, kColumns, "chara x", line);
    s.CharaY = Value(words[2], 0, kRows - 1, "chara y", line);
  } else if (key == "chara_last") {
    ExpectCount(words, 2, line);
    s.CharaLastX = Value(words[1], 0, kColumns - 1, "chara_last x", line);
    s.CharaLastY = Value(words[2], 0, kRows - 1, "chara_last y", line);
  } else if (key == "enemy") {
    ExpectCount(words, 2, line);
    s.EnemyX = Value(words[1], 0, kColumns - 1, "enemy x", line);
    s.EnemyY = Value(words[2], 0, kRows - 1, "enemy y", line);
  } else {
    throw InputError{line, "unknown key '" + key + "'"};
  }
  return true;
}

void ReadBoardRow(const std::string& text, int row, int line, Board& board) {
  if (text.size() != static_cast<std::size_t>(kColumns)) {
    throw InputError{line, "board row " + std::to_string(row) + " has " +
                               std::to_string(text.size()) + " characters, expected 40"};
  }
  for (int c = 0; c < kColumns; ++c) {
    const char ch = text[c];
    if (ch == '.') continue;
    if (ch != '1' && ch != '2') {
      throw InputError{line, "unknown character '" + std::string(1, ch) + "' in column " +
                                 std::to_string(c) + " (expected '.', '1' or '2')"};
    }
    board.Set(c, row, static_cast<int16_t>(ch - '0'));
  }
}

}  // namespace

bool LineReader::Next(std::string& line) {
  std::string raw;
  while (std::getline(in_, raw)) {
    ++line_no_;
    const std::string text = Trimmed(raw);
    if (text.empty() || text[0] == '#') continue;
    line = text;
    return true;
  }
  return false;
}

std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream words_in(line);
  std::vector<std::string> words;
  for (std::string w; words_in >> w;) words.push_back(w);
  return words;
}

int64_t ParseInteger(const std::string& word, int64_t lo, int64_t hi, const std::string& what,
                     int line) {
  int64_t v = 0;
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, v);
  if (ec == std::errc::result_out_of_range) {
    throw InputError{line, what + " " + word + " is out of range " + std::to_string(lo) + ".." +
                               std::to_string(hi)};
  }
  if (ec != std::errc() || ptr != end) {
    throw InputError{line, what + " '" + word + "' is not a whole number"};
  }
  if (v < lo || v > hi) {
    throw InputError{line, what + " " + word + " is out of range " + std::to_string(lo) + ".." +
                               std::to_string(hi)};
  }
  return v;
}

double ParseFiniteDouble(const std::string& word, const std::string& what, int line) {
  double v = 0;
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, v);
  if (ec != std::errc() || ptr != end || !std::isfinite(v)) {
    throw InputError{line, what + " '" + word + "' is not a finite number"};
  }
  return v;
}

Position ReadPosition(std::istream& in) {
  Position pos;
  LineReader reader(in);
  std::set<std::string> seen;
  std::string line;
  bool at_board = false;
  while (!at_board && reader.Next(line)) {
    at_board = !ReadKey(SplitWords(line), reader.line_no(), pos.state, seen);
  }
  if (!at_board) throw InputError{reader.line_no() + 1, "the input has no 'board' line"};
  pos.board_line = reader.line_no();
  for (int row = 0; row < kRows; ++row) {
    if (!reader.Next(line)) {
      throw InputError{reader.line_no() + 1,
                       "the board ends after " + std::to_string(row) + " of 29 rows"};
    }
    ReadBoardRow(line, row, reader.line_no(), pos.state.Board);
  }
  if (reader.Next(line)) throw InputError{reader.line_no(), "unexpected text after the board"};
  return pos;
}

}  // namespace rv::sim
