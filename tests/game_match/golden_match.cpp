#include "golden_match.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "game/ranking/score.h"
#include "match_harness.h"
#include "platform/headless/headless_audio.h"

namespace rv::test {

namespace {

const char* SideName(int16_t side) { return side == kPlayer ? "player" : "cpu"; }

std::string Hex64(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// FNV-1a over the frame's size and pixels, a whole pixel a step (a byte a step costs a
// second a match): any pixel that changes changes the line.
uint64_t FrameHash(const CapturedFrame& frame) {
  uint64_t hash = 14695981039346656037ull;
  auto mix = [&hash](uint32_t word) {
    hash ^= word;
    hash *= 1099511628211ull;
  };
  mix(static_cast<uint32_t>(frame.width));
  mix(static_cast<uint32_t>(frame.height));
  for (uint32_t pixel : frame.pixels) mix(pixel);
  return hash;
}

// Watches one match as it runs and writes its events down in the order they happen.
class Recorder {
 public:
  Recorder(Game& game, HeadlessAudio& audio) : game_(game), audio_(audio) {}

  // Each pass of event servicing: blocks that landed since the last pass.
  void OnPass(uint32_t now) {
    TakeSounds();
    const Board& board = game_.match.Board;
    for (int c = 0; c < kColumns; ++c) {
      for (int r = 0; r < kRows; ++r) {
        const int16_t side = board.At(c, r);
        if (side != kEmpty && seen_.At(c, r) != side) {
          Add("place " + std::to_string(now) + " " + SideName(side) + " " + std::to_string(c) +
              " " + std::to_string(r));
        }
      }
    }
    seen_ = board;
  }

  void OnFrame(const CapturedFrame& frame) {
    TakeSounds();
    Add("frame " + std::to_string(frame.time) + " " + Hex64(FrameHash(frame)));
  }

  void TakeSounds() {
    const auto& records = audio_.records();
    for (; sounds_taken_ < records.size(); ++sounds_taken_) {
      const HeadlessAudio::Record& r = records[sounds_taken_];
      Add("sound " + std::to_string(r.time) + " " + r.text);
    }
  }

  void Add(std::string line) { lines_.push_back(std::move(line)); }
  std::vector<std::string>& lines() { return lines_; }

 private:
  Game& game_;
  HeadlessAudio& audio_;
  Board seen_;
  std::size_t sounds_taken_ = 0;
  std::vector<std::string> lines_;
};

void AddTotals(const Game& game, int16_t mode, std::vector<std::string>& lines) {
  const MatchState& m = game.match;
  for (std::size_t i = 0; i < m.RoundTime.size(); ++i) {
    lines.push_back("round " + std::to_string(i + 1) + " winner " +
                    SideName(m.PlayerWon[i] != 0 ? kPlayer : kCpu) + " moves " +
                    std::to_string(m.RoundMoves[i]) + " time " + std::to_string(m.RoundTime[i]));
  }
  // The wins from the round records: the counters are cleared when the match ends.
  int16_t player_wins = 0;
  for (int16_t won : m.PlayerWon) player_wins = static_cast<int16_t>(player_wins + (won != 0));
  const auto cpu_wins = static_cast<int16_t>(m.PlayerWon.size() - player_wins);
  const ScoreResult score =
      ComputeScore(mode, player_wins, cpu_wins, m.RoundTime, m.PlayerWon, m.RoundMoves);
  lines.push_back("battle " + std::to_string(game.totals.TotalTime));
  lines.push_back("score " + std::to_string(score.score));
  lines.push_back("place " + std::to_string(game.totals.RankIn));
}

void AddRankingBytes(const std::filesystem::path& file, std::vector<std::string>& lines) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
  lines.push_back("ranking_size " + std::to_string(bytes.size()));
  static const char kDigits[] = "0123456789abcdef";
  for (std::size_t at = 0; at < bytes.size(); at += 64) {
    std::string line = "ranking ";
    for (std::size_t i = at; i < bytes.size() && i < at + 64; ++i) {
      const auto byte = static_cast<unsigned char>(bytes[i]);
      line += kDigits[byte >> 4];
      line += kDigits[byte & 15];
    }
    lines.push_back(line);
  }
}

}  // namespace

const std::vector<GoldenMatch>& GoldenMatches() {
  static const std::vector<GoldenMatch> matches = {
      {"easy_3_rounds.txt", 0, 3, 11, PlayerKind::kGreedy},
      {"normal_3_rounds.txt", 1, 3, 12, PlayerKind::kGreedy},
      {"hard_3_rounds.txt", 2, 3, 13, PlayerKind::kGreedy},
  };
  return matches;
}

std::vector<std::string> RecordGoldenMatch(const GoldenMatch& match) {
  MatchHarness h(match.seed);
  auto* audio = dynamic_cast<HeadlessAudio*>(&h.platform().audio());
  if (audio == nullptr) return {"error the headless platform has no recording audio"};
  Recorder recorder(h.game(), *audio);
  recorder.Add("match mode " + std::to_string(match.mode) + " rounds " +
               std::to_string(match.rounds) + " seed " + std::to_string(match.seed));
  PlayerBot bot(h.game(), match.player, match.seed);
  h.UseDriver([&](HeadlessPlatform& p) {
    recorder.OnPass(p.Now());
    bot.Drive(p);
  });
  h.platform().on_present = [&recorder](const CapturedFrame& f) { recorder.OnFrame(f); };
  const std::optional<int> exited = h.Play(match.mode, match.rounds);
  recorder.TakeSounds();
  if (exited) recorder.Add("exit " + std::to_string(*exited));
  AddTotals(h.game(), match.mode, recorder.lines());
  AddRankingBytes(h.game().PlayerFile("rvdat.dat"), recorder.lines());
  return std::move(recorder.lines());
}

std::optional<std::string> FirstDifference(const std::vector<std::string>& expected,
                                           const std::vector<std::string>& actual) {
  const std::size_t common = std::min(expected.size(), actual.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (expected[i] == actual[i]) continue;
    std::ostringstream out;
    out << "line " << i + 1 << ": expected \"" << expected[i] << "\", got \"" << actual[i] << "\"";
    // A frame alone says little: the event just before it says where in the match it was.
    for (std::size_t j = i; j-- > 0;) {
      if (expected[j].rfind("frame ", 0) != 0) {
        out << " (after line " << j + 1 << ": \"" << expected[j] << "\")";
        break;
      }
    }
    return out.str();
  }
  if (expected.size() == actual.size()) return std::nullopt;
  std::ostringstream out;
  out << "expected " << expected.size() << " lines, got " << actual.size() << "; first extra: \""
      << (expected.size() > actual.size() ? expected[common] : actual[common]) << "\"";
  return out.str();
}

std::vector<std::string> ReadTranscript(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool WriteTranscript(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::ofstream out(file, std::ios::trunc);
  for (const std::string& line : lines) out << line << '\n';
  out.close();
  return static_cast<bool>(out);
}

}  // namespace rv::test
