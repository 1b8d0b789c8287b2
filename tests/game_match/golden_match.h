#pragma once
// The golden match: a transcript of a whole seeded headless match, one event a line, so
// that any change that moves a block, a sound, a frame or a timing shows up as a changed
// line. Like a recorded demo it is the regression test of behaviour; it is re-recorded only
// when a change means to alter what the player sees or hears.
//
// Lines, in the order the events happened (times are virtual milliseconds from the start of
// the match):
//   place T SIDE COLUMN ROW         a block landed (player or cpu)
//   sound T TEXT                    a sound or music request, as the headless audio logs it
//   frame T HASH                    a presented frame (FNV-1a 64 of its pixels)
//   round N winner SIDE moves M time MS
//   battle MS / score S / place P   the match's totals
//   ranking HEX...                  the bytes of rvdat.dat afterwards, 64 bytes a line

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "game/headless/player_bot.h"

namespace rv::test {

struct GoldenMatch {
  std::string name;  // the transcript's file name without folder
  int16_t mode;
  int16_t rounds;
  uint64_t seed;
  PlayerKind player;
};

// Test names show the transcript's name rather than the bytes of the struct.
inline void PrintTo(const GoldenMatch& match, std::ostream* out) { *out << match.name; }

// One match per CPU strength.
const std::vector<GoldenMatch>& GoldenMatches();

// Plays the match with the real game code and returns its transcript, one line each.
std::vector<std::string> RecordGoldenMatch(const GoldenMatch& match);

// Where the two transcripts first part: a description naming the line number, the expected
// and the actual line, and for a frame the first event before it; nullopt when they agree.
std::optional<std::string> FirstDifference(const std::vector<std::string>& expected,
                                           const std::vector<std::string>& actual);

std::vector<std::string> ReadTranscript(const std::filesystem::path& file);
bool WriteTranscript(const std::filesystem::path& file, const std::vector<std::string>& lines);

}  // namespace rv::test
