#pragma once
// The ranking screen: one of the 15 lists at a time, browsed with the arrow keys.

namespace rv {

class Game;

// The screen's timer interval.
inline constexpr int kBltTimerMs = 70;

// The tick handler: draws the marks of RankShownMode and RankShownRounds with
// Alpha = |BlinkLevel|, refreshes, then steps BlinkLevel.
void BltTimer(Game& game);

// Blocks until the player leaves with the cancel key; returns with GameScreen cleared and
// the screen's timer disabled.
void ShowRanking(Game& game);

}  // namespace rv
