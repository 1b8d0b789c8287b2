#pragma once
// One headless game in its own program folder, ready for a match, with an observer that
// records what the tests check: the board at each round's end, the move-pair counter at
// quiet moments of play, and the frames of the match's end.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "game/board/board.h"
#include "game/headless/headless_game.h"
#include "game/headless/player_bot.h"
#include "game/headless/temp_program_folder.h"

namespace rv::test {

struct RoundEnd {
  Board board;
  int16_t winner;  // 1 the player, 2 the CPU
  int16_t MoveRound;
  int16_t FirstMover;
};

// MoveRound at a moment no move is under way: the CPU's pause before its choice, or the
// player's turn before X.
struct MoveSample {
  int player_blocks;
  int cpu_blocks;
  int16_t MoveRound;
  int16_t FirstMover;
  bool cpu_to_move;
};

int CountBlocks(const Board& board, int16_t side);

// What stood on the screen and in the game when a frame was presented.
struct FrameInfo {
  uint32_t time;
  int enemy_x, enemy_y;
  bool enemy_visible;
  int chara_x, chara_y;
  bool chara_visible;
  int16_t CharaTurn;
  int16_t RoundNo;
  int blocks;
  int32_t FrameStart;
};

class MatchHarness {
 public:
  // `edit_folder` may change the program folder before the game is made (a broken file).
  // `language` is what --lang would give the game.
  explicit MatchHarness(uint64_t cpu_seed,
                        const std::function<void(const std::filesystem::path&)>& edit_folder = {},
                        const std::string& language = "ja");

  // A start that failed (its message is the constructor's failure) fails the test here.
  Game& game() {
    if (!headless_.game) throw std::logic_error("the headless game did not start");
    return *headless_.game;
  }
  FrameSavingPlatform& platform() { return headless_.platform; }
  const std::filesystem::path& folder() const { return folder_.path(); }

  // The player's side: a bot, or a driver of the test's own. The observer runs first.
  void UseBot(PlayerKind kind, uint64_t seed);
  void UseDriver(std::function<void(HeadlessPlatform&)> driver);

  // The match as the menu starts it; the exit status when the program ended inside it.
  std::optional<int> Play(int16_t mode, int16_t rounds);

  // True while a round's play runs (after its roulette, before the next round's title).
  bool InPlay() const;

  // The virtual time at which Play entered the match.
  uint32_t match_started_at = 0;
  // Set before Play to log every frame.
  bool log_frames = false;
  std::vector<FrameInfo> frame_log;

  std::vector<RoundEnd> round_ends;
  std::vector<MoveSample> samples;
  // The first frame after the last round was decided (its banner), and the last frames of
  // the match from then on (at most kEndFrames).
  static constexpr std::size_t kEndFrames = 40;
  static constexpr uint32_t kVirtualTimeLimitMs = 4u * 3600u * 1000u;
  std::optional<CapturedFrame> banner_frame;
  std::deque<CapturedFrame> end_frames;

 private:
  void Observe();
  void KeepEndFrame(const CapturedFrame& frame);

  TempProgramFolder folder_;
  HeadlessGame headless_;
  std::optional<PlayerBot> bot_;
  std::function<void(HeadlessPlatform&)> driver_;
  int16_t round_seen_ = 0;
  uint32_t round_seen_at_ = 0;
  int16_t player_wins_seen_ = 0;
  int16_t cpu_wins_seen_ = 0;
};

}  // namespace rv::test
