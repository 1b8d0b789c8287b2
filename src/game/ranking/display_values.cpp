#include "game/ranking/display_values.h"

#include <algorithm>
#include <cmath>

#include "game/ranking/score.h"

namespace rv {

int32_t ShownScore(int32_t score) { return std::clamp(score, 0, kMaxShownScore); }

// Compared as doubles before any conversion: a huge or infinite value must never reach
// the integer conversion, where it would be undefined.
int32_t ShownMoves(double moves) {
  if (std::isnan(moves)) return 0;
  const double rounded = RoundHalfEven(moves);
  if (rounded <= 0.0) return 0;
  if (rounded >= kMaxShownMoves) return kMaxShownMoves;
  return static_cast<int32_t>(rounded);
}

int32_t ShownTime(int32_t hundredths) { return std::clamp(hundredths, 0, kMaxShownTime); }

DigitBuffer SplitDigits(int32_t value, int places) {
  places = std::clamp(places, 1, kScorePlaces);
  int32_t largest = 9;
  for (int i = 1; i < places; ++i) largest = largest * 10 + 9;
  int32_t rest = std::clamp(value, 0, largest);
  DigitBuffer out;
  do {
    out.digit[static_cast<size_t>(out.count++)] = static_cast<int16_t>(rest % 10);
    rest /= 10;
  } while (rest != 0);
  return out;
}

std::array<int16_t, kTimeGlyphCount> TimeGlyphs(int32_t hundredths) {
  const int32_t t = ShownTime(hundredths);
  const int32_t h = t % 100;
  const int32_t s = t / 100;
  const int32_t mm = s / 60;
  const int32_t ss = s % 60;
  auto g = [](int32_t v) { return static_cast<int16_t>(v); };
  return {g(mm / 10), g(mm % 10),          kTimeSeparatorGlyph, g(ss / 10),
          g(ss % 10), kTimeSeparatorGlyph, g(h / 10),           g(h % 10)};
}

}  // namespace rv
