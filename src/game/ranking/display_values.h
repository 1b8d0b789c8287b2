#pragma once
// The ranking screen's numbers as its glyphs can show them. The ranking file may hold
// anything (another hand may have edited it), while the screen has six large digits for a
// score, five for a move count and two-digit minutes for a time. Every value is brought
// into that range before it is split into glyphs, so no digit ever indexes outside its
// strip: too large shows as all nines, negative (and NaN moves) as zero.

#include <array>
#include <cstdint>

namespace rv {

inline constexpr int kScorePlaces = 6;
inline constexpr int kMovePlaces = 5;
inline constexpr int32_t kMaxShownScore = 999999;
inline constexpr int32_t kMaxShownMoves = 99999;
inline constexpr int32_t kMaxShownTime = 599999;  // 99:59:99 in hundredths of a second

// 0..999999.
int32_t ShownScore(int32_t score);
// Rounded to the nearest whole move (halves to even), then 0..99999; NaN and -inf give 0,
// +inf gives 99999.
int32_t ShownMoves(double moves);
// 0..599999 hundredths of a second.
int32_t ShownTime(int32_t hundredths);

// The decimal digits of a number, index 0 the units; count is the length of its decimal
// text (1 for zero).
struct DigitBuffer {
  std::array<int16_t, kScorePlaces> digit{};
  int count = 0;
};

// The digits of value, clamped to 0 .. 10^places - 1 first; places is 1..6.
DigitBuffer SplitDigits(int32_t value, int places);

// The eight glyphs of a time, mm:ss:hh; kTimeSeparatorGlyph marks the two separators.
inline constexpr int16_t kTimeSeparatorGlyph = 10;
inline constexpr int kTimeGlyphCount = 8;
// The time is clamped with ShownTime first.
std::array<int16_t, kTimeGlyphCount> TimeGlyphs(int32_t hundredths);

}  // namespace rv
