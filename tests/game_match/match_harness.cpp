#include "match_harness.h"

#include <gtest/gtest.h>

#include "game/board/four_in_row.h"
#include "start/language_choice.h"

namespace rv::test {

int CountBlocks(const Board& board, int16_t side) {
  int n = 0;
  for (int c = 0; c < kColumns; ++c) {
    for (int r = 0; r < kRows; ++r) n += board.At(c, r) == side;
  }
  return n;
}

namespace {

Language EditedLanguage(const std::filesystem::path& folder,
                        const std::function<void(const std::filesystem::path&)>& edit_folder,
                        const std::string& language) {
  if (edit_folder) edit_folder(folder);
  const LanguageLoad load = LoadLanguage(folder, language);
  EXPECT_TRUE(load.known && load.error.empty()) << language << ": " << load.error;
  return load.language;
}

}  // namespace

MatchHarness::MatchHarness(uint64_t cpu_seed,
                           const std::function<void(const std::filesystem::path&)>& edit_folder,
                           const std::string& language)
    : folder_(RV_DIST_DIR, std::nullopt),
      headless_(folder_.path(), cpu_seed, EditedLanguage(folder_.path(), edit_folder, language)) {
  const std::string problem = headless_.Prepare();
  EXPECT_EQ(problem, "");
  headless_.platform.on_present = [this](const CapturedFrame& f) { KeepEndFrame(f); };
  UseDriver({});
}

void MatchHarness::UseBot(PlayerKind kind, uint64_t seed) {
  bot_.emplace(game(), kind, seed);
  UseDriver([this](HeadlessPlatform& p) { bot_->Drive(p); });
}

void MatchHarness::UseDriver(std::function<void(HeadlessPlatform&)> driver) {
  driver_ = std::move(driver);
  headless_.platform.SetDriver([this](HeadlessPlatform& p) {
    // A game stuck in a loop fails its test instead of hanging it: after four hours of
    // virtual time the window is closed, which ends the program.
    if (p.Now() > kVirtualTimeLimitMs) p.RequestClose();
    Observe();
    if (driver_) driver_(p);
  });
}

std::optional<int> MatchHarness::Play(int16_t mode, int16_t rounds) {
  match_started_at = headless_.platform.Now();
  return PlayMatch(game(), mode, rounds);
}

bool MatchHarness::InPlay() const {
  const MatchState& m = headless_.game->match;
  return m.RoundNo != 0 && m.RoundNo == round_seen_ &&
         static_cast<int32_t>(static_cast<uint32_t>(m.RoundStartTick) - round_seen_at_) > 0;
}

void MatchHarness::Observe() {
  const Game& g = *headless_.game;
  const MatchState& m = g.match;
  if (m.RoundNo != round_seen_) {
    round_seen_ = m.RoundNo;
    round_seen_at_ = headless_.platform.Now();
  }
  // A win counted since the last pass: the board still shows how the round was decided.
  if (m.PlayerWins > player_wins_seen_ || m.CpuWins > cpu_wins_seen_) {
    const int16_t winner = m.PlayerWins > player_wins_seen_ ? kPlayer : kCpu;
    round_ends.push_back(RoundEnd{m.Board, winner, m.MoveRound, m.FirstMover});
  }
  player_wins_seen_ = m.PlayerWins;
  cpu_wins_seen_ = m.CpuWins;
  if (!InPlay() || FindFour(m.Board, kPlayer) || FindFour(m.Board, kCpu)) return;
  // Whose move the blocks on the board call for. During the last 100 ms of the CPU's walk
  // its new block is already down but not yet checked: that moment is not quiet.
  const int player_blocks = CountBlocks(m.Board, kPlayer);
  const int cpu_blocks = CountBlocks(m.Board, kCpu);
  const bool cpu_due =
      m.FirstMover == 1 ? player_blocks == cpu_blocks + 1 : cpu_blocks == player_blocks;
  const bool cpu_pause = m.CharaTurn == 0 && cpu_due &&
                         g.display.EnemyCursor.X() == 16 * m.EnemyX &&
                         g.display.EnemyCursor.Y() == 16 * m.EnemyY;
  const bool player_turn = m.CharaTurn == -1 && !cpu_due && g.keys.Key_X == 0;
  if (!cpu_pause && !player_turn) return;
  samples.push_back(MoveSample{player_blocks, cpu_blocks, m.MoveRound, m.FirstMover, cpu_pause});
}

void MatchHarness::KeepEndFrame(const CapturedFrame& frame) {
  const Game& g = *headless_.game;
  const MatchState& m = g.match;
  if (log_frames) {
    const Display& d = g.display;
    frame_log.push_back(FrameInfo{
        frame.time, d.EnemyCursor.X(), d.EnemyCursor.Y(), d.EnemyCursor.Visible(),
        d.CharaCursor.X(), d.CharaCursor.Y(), d.CharaCursor.Visible(), m.CharaTurn, m.RoundNo,
        CountBlocks(m.Board, kPlayer) + CountBlocks(m.Board, kCpu), g.stamps.FrameStart});
  }
  if (m.RoundCount == 0 || m.PlayerWins + m.CpuWins != m.RoundCount) return;
  if (!banner_frame) banner_frame = frame;
  end_frames.push_back(frame);
  if (end_frames.size() > kEndFrames) end_frames.pop_front();
}

}  // namespace rv::test
