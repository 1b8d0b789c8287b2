#pragma once
// What the ranking screen keeps between its timer ticks (and BlinkLevel between visits).

#include <cstdint>

namespace rv {

struct RankingScreenState {
  int16_t RankShownMode = 0;
  int16_t RankShownRounds = 1;
  int16_t BlinkLevel = 0;
};

}  // namespace rv
