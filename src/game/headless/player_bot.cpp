#include "game/headless/player_bot.h"

#include "game/cpu/cpu_choice.h"

namespace rv {

namespace {

// The roulette opens after the round title's 2000 ms; the bot presses X a seeded moment
// later and lets go before the result's 2000 ms pause ends.
constexpr uint32_t kRouletteOpensAfterMs = 2100;
constexpr int16_t kRouletteSpreadMs = 400;
constexpr uint32_t kRouletteHoldMs = 40;
// A turn that cannot reach its column in this many steps places where the cursor stands.
constexpr int kMaxStepsPerTurn = 100;

int BlocksOnBoard(const Board& board) {
  int n = 0;
  for (int c = 0; c < kColumns; ++c) n += kRows - board.TopBlockRow(c);
  return n;
}

}  // namespace

PlayerBot::PlayerBot(const Game& game, PlayerKind kind, uint64_t seed)
    : game_(game), kind_(kind), rng_(seed ^ 0x9E3779B97F4A7C15ull) {}

std::vector<int> PlayerBot::ReachableColumns(const MatchState& m) {
  const bool anywhere = m.FirstMover == 1 && m.MoveRound == 1;
  std::vector<int> columns;
  for (int c = 0; c < kColumns; ++c) {
    if (m.Board.ColumnFull(c)) continue;
    const bool near = !m.Board.ColumnEmpty(c) || (c > 0 && !m.Board.ColumnEmpty(c - 1)) ||
                      (c + 1 < kColumns && !m.Board.ColumnEmpty(c + 1));
    if (anywhere || near) columns.push_back(c);
  }
  return columns;
}

int PlayerBot::ChooseColumn(const MatchState& m) {
  const std::vector<int> reachable = ReachableColumns(m);
  if (reachable.empty()) return m.CharaX;
  auto is_reachable = [&](int c) {
    for (int r : reachable) {
      if (r == c) return true;
    }
    return false;
  };
  if (kind_ == PlayerKind::kGreedy) {
    for (int16_t side : {kPlayer, kCpu}) {
      const std::optional<Cell> cell = ScanLines(m.Board, side, 3, false);
      if (cell && is_reachable(cell->x)) return cell->x;
    }
  }
  const int16_t pick = RandomRange(rng_, 0, static_cast<int16_t>(reachable.size() - 1));
  return reachable[static_cast<std::size_t>(pick)];
}

bool PlayerBot::InPlay() const {
  const MatchState& m = game_.match;
  return m.RoundNo != 0 && m.RoundNo == round_seen_ &&
         static_cast<int32_t>(static_cast<uint32_t>(m.RoundStartTick) - round_seen_at_) > 0;
}

// Keys go up once the game has seen them: an arrow when the cursor rule has cleared its
// flag, X when the block is down (the turn has passed to the CPU).
void PlayerBot::Release(HeadlessPlatform& platform) {
  const Keys& keys = game_.keys;
  const MatchState& m = game_.match;
  if (held_ == Held::kLeft && keys.Key_Left == 0) {
    platform.ReleaseKey(vk::kLeft);
    held_ = Held::kNone;
  } else if (held_ == Held::kRight && keys.Key_Right == 0) {
    platform.ReleaseKey(vk::kRight);
    held_ = Held::kNone;
  } else if (held_ == Held::kX && (m.CharaTurn != -1 || !InPlay())) {
    platform.ReleaseKey(vk::kX);
    held_ = Held::kNone;
  }
}

void PlayerBot::Act(HeadlessPlatform& platform) {
  const MatchState& m = game_.match;
  const int blocks = BlocksOnBoard(m.Board);
  if (blocks != blocks_at_target_) {
    target_ = ChooseColumn(m);
    blocks_at_target_ = blocks;
    steps_this_turn_ = 0;
  }
  if (m.CharaX == target_ || steps_this_turn_ >= kMaxStepsPerTurn) {
    platform.PressKey(vk::kX);
    held_ = Held::kX;
    return;
  }
  ++steps_this_turn_;
  const bool left = target_ < m.CharaX;
  platform.PressKey(left ? vk::kLeft : vk::kRight);
  held_ = left ? Held::kLeft : Held::kRight;
}

void PlayerBot::Drive(HeadlessPlatform& platform) {
  const MatchState& m = game_.match;
  if (m.RoundNo != round_seen_) {
    round_seen_ = m.RoundNo;
    round_seen_at_ = platform.Now();
    if (m.RoundNo != 0) {
      const auto delay = static_cast<uint32_t>(RandomRange(rng_, 0, kRouletteSpreadMs));
      platform.ScheduleKeyPress(round_seen_at_ + kRouletteOpensAfterMs + delay, vk::kX,
                                kRouletteHoldMs);
    }
  }
  if (held_ != Held::kNone) {
    Release(platform);
    return;
  }
  if (InPlay() && m.CharaTurn == -1) Act(platform);
}

}  // namespace rv
