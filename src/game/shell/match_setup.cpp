#include "game/shell/match_setup.h"

#include <algorithm>

#include "game/game.h"
#include "game/gfx/copy_piece.h"
#include "game/gfx/picture_rects.h"

namespace rv {

namespace {

enum SetupRow : int16_t { kRowDifficulty = 0, kRowRounds = 1, kRowStart = 2 };

constexpr int16_t kMaxMode = 2;
constexpr int16_t kMinRounds = 1;
constexpr int16_t kMaxRounds = 9;

constexpr int32_t kRedrawPauseMs = 100;
constexpr int32_t kPollMs = 20;

// Whether the count has a unit word after its digit; in a language without one ("%1" alone,
// as "Rounds 3") the count's right arrow stands beside the digit, where the unit would be.
bool HasRoundsUnit(const Catalogue& words) { return !words.Tr("%1回").ends_with("%1"); }

// An arrow only where the value of that row can still move that way.
void DrawArrows(Game& game, int16_t row) {
  const MatchState& m = game.match;
  const bool on_mode = row == kRowDifficulty;
  const int y = on_mode ? 85 : 133;
  const bool can_go_down = on_mode ? m.GameMode > 0 : m.RoundCount > kMinRounds;
  const bool can_go_up = on_mode ? m.GameMode < kMaxMode : m.RoundCount < kMaxRounds;
  if (can_go_down) CopyPiece(game.display.GameScreen, 200, y, game.pictures, rects::kLeftArrow);
  const int right_x = on_mode || HasRoundsUnit(game.language.words) ? 300 : 265;
  if (can_go_up) {
    CopyPiece(game.display.GameScreen, right_x, y + 5, game.pictures, rects::kRightArrow);
  }
}

// The mode and the count are always in range here (the clamps below), so every rectangle
// exists; clamping again keeps a stray value from reading outside the tables.
void DrawValues(Game& game, int16_t row) {
  const MatchState& m = game.match;
  const int mode = std::clamp<int>(m.GameMode, 0, kMaxMode);
  const int rounds = std::clamp<int>(m.RoundCount, kMinRounds, kMaxRounds);
  CopyPiece(game.display.GameScreen, 50, 90, game.pictures,
            row == kRowDifficulty ? rects::kDifficultyLabelSelected : rects::kDifficultyLabel);
  CopyPiece(game.display.GameScreen, 230, 90, game.pictures,
            rects::kDifficultyName[static_cast<size_t>(mode)]);
  CopyPiece(game.display.GameScreen, 50, 140, game.pictures,
            row == kRowRounds ? rects::kRoundsLabelSelected : rects::kRoundsLabel);
  CopyPiece(game.display.GameScreen, 236, 140, game.pictures, rects::kSetupRoundsDigit(rounds));
  if (HasRoundsUnit(game.language.words)) {
    CopyPiece(game.display.GameScreen, 265, 140, game.pictures, rects::kRoundsUnit);
  }
  CopyPiece(game.display.GameScreen, 305, 430, game.pictures,
            row == kRowStart ? rects::kStartButtonSelected : rects::kStartButton);
}

// Left (-1) or right (+1) on the row under the cursor; the start row has no value.
void StepValue(MatchState& m, int16_t row, int direction) {
  if (row == kRowDifficulty) {
    m.GameMode = static_cast<int16_t>(std::clamp(m.GameMode + direction, 0, int{kMaxMode}));
  } else if (row == kRowRounds) {
    m.RoundCount = static_cast<int16_t>(
        std::clamp(m.RoundCount + 2 * direction, int{kMinRounds}, int{kMaxRounds}));
  }
}

enum class SetupKey { kRedraw, kStart, kCancel };

// Polls until a key asks for something. Every accepted arrow redraws, even one that changes
// nothing at a limit. X outside the start row is held without effect, and as it is tested
// before Z, a held X also keeps Z from being seen.
SetupKey PollSetupKeys(Game& game, int16_t& row) {
  const Keys& keys = game.keys;
  for (;;) {
    game.DoEvents();
    if (keys.Key_Up == 1) {
      row = static_cast<int16_t>(std::max(row - 1, int{kRowDifficulty}));
      return SetupKey::kRedraw;
    }
    if (keys.Key_Down == 1) {
      row = static_cast<int16_t>(std::min(row + 1, int{kRowStart}));
      return SetupKey::kRedraw;
    }
    if (keys.Key_Left == 1) {
      StepValue(game.match, row, -1);
      return SetupKey::kRedraw;
    }
    if (keys.Key_Right == 1) {
      StepValue(game.match, row, +1);
      return SetupKey::kRedraw;
    }
    if (keys.Key_X == 1) {
      if (row == kRowStart) return SetupKey::kStart;
      game.WaitMs(kPollMs);
      continue;
    }
    if (keys.Key_Z == 1) return SetupKey::kCancel;
    game.WaitMs(kPollMs);
  }
}

}  // namespace

void DrawMatchSetup(Game& game, int16_t row) {
  game.display.Clear();
  CopyPiece(game.display.GameScreen, 200, 30, game.pictures, rects::kSetupHeader);
  if (row == kRowDifficulty || row == kRowRounds) DrawArrows(game, row);
  DrawValues(game, row);
  game.display.Refresh();
}

int16_t MatchSetup(Game& game) {
  MatchState& m = game.match;
  m.GameMode = 0;  // earlier choices are not remembered
  m.RoundCount = kMinRounds;
  int16_t row = kRowDifficulty;
  for (;;) {
    DrawMatchSetup(game, row);
    game.WaitMs(kRedrawPauseMs);
    switch (PollSetupKeys(game, row)) {
      case SetupKey::kRedraw:
        break;
      case SetupKey::kStart:
        game.sound.StopWave();
        game.sound.PlayWave("wave1", 0);
        return -1;
      case SetupKey::kCancel:
        return 0;
    }
  }
}

}  // namespace rv
