#include "game/ranking/ranking_screen.h"

#include <cstdlib>

#include "game/game.h"
#include "game/ranking/ranking_drawing.h"
#include "game/ranking/ranking_marks.h"

namespace rv {

namespace {

constexpr int32_t kRedrawPauseMs = 100;
constexpr int32_t kPollMs = 20;

// The list on the screen. Every visit starts at difficulty 0, one-round matches.
struct ShownList {
  int16_t mode = 0;
  int16_t rounds = 1;
};

// The marks read their own copy of the shown list, between redraws.
void Publish(Game& game, const ShownList& shown) {
  game.rank_screen.RankShownMode = shown.mode;
  game.rank_screen.RankShownRounds = shown.rounds;
}

// Moves value by step when the result stays within lo..hi; at the end of the range it
// stays put and the caller goes on polling, so a key held there redraws nothing.
bool StepWithin(int16_t& value, int step, int lo, int hi) {
  const int next = value + step;
  if (next < lo || next > hi) return false;
  value = static_cast<int16_t>(next);
  return true;
}

// Polls the keys in their fixed order until one changes the list (true) or the player
// leaves (false). Flags carry no edges: a held arrow steps again after the next redraw.
bool WaitForListChange(Game& game, ShownList& shown) {
  const Keys& keys = game.keys;
  for (;;) {
    game.DoEvents();
    bool changed = false;
    if (keys.Key_Up == 1) {
      changed = StepWithin(shown.rounds, -2, 1, 9);
    } else if (keys.Key_Down == 1) {
      changed = StepWithin(shown.rounds, +2, 1, 9);
    } else if (keys.Key_Left == 1) {
      changed = StepWithin(shown.mode, -1, 0, 2);
    } else if (keys.Key_Right == 1) {
      changed = StepWithin(shown.mode, +1, 0, 2);
    } else if (keys.Key_Z == 1) {
      return false;
    }
    if (changed) return true;
    game.WaitMs(kPollMs);
  }
}

}  // namespace

void BltTimer(Game& game) {
  RankingScreenState& state = game.rank_screen;
  SetAlpha(game.blend, static_cast<int16_t>(std::abs(static_cast<int32_t>(state.BlinkLevel))));
  DrawRankingMarks(game.display.GameScreen, game.pictures, state, game.blend.BlendArg);
  game.display.Refresh();
  state.BlinkLevel = NextBlinkLevel(state.BlinkLevel);
}

void ShowRanking(Game& game) {
  ShownList shown;
  Publish(game, shown);
  game.loop.SetTimer(kBltTimerMs, [&game] { BltTimer(game); });
  game.loop.EnableTimer(true);
  for (;;) {
    DrawRankingScreen(game.display, game.pictures, game.ranking, shown.mode, shown.rounds);
    game.WaitMs(kRedrawPauseMs);
    if (!WaitForListChange(game, shown)) break;
    Publish(game, shown);
  }
  game.loop.EnableTimer(false);
  game.display.Clear();
}

}  // namespace rv
