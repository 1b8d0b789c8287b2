#pragma once
// Every text the match prints at run time, where it goes and the space it may draw in. The
// drawing code clips each text to its space; the build's check (text_fit.h) draws every one
// of them in each catalogue's language and refuses a catalogue whose words leave a space.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/gfx/text.h"

namespace rv {

class Catalogue;

// The surface a text is printed on, which decides its face size.
enum class TextTarget {
  kScreen,       // GameScreen, kScreenFacePx
  kComposition,  // PicMemory, kCompositionFacePx
};

struct DrawnText {
  std::string_view id;     // the Japanese text translated; empty for a number
  std::string_view where;  // the space, named for the check's refusals
  std::string text;        // as drawn
  TextTarget target = TextTarget::kScreen;
  TextFace face = TextFace::kJapanese;  // the Latin face for another language's words
  int16_t x = 0;
  int16_t y = 0;
  int16_t bold = 0;  // -1 in bold, as the text primitives take it
  uint32_t color = 0xFFFFFF;
  TextSpace space;
};

// The first-player roulette's title and its two lines, on PicMemory.
std::vector<DrawnText> RouletteTexts(const Catalogue& words);
// The winner banner for `name` ("プレイヤー" or "ＣＰＵ"), on PicMemory; another language's
// line is centred, which the text's width decides.
DrawnText BannerText(const Catalogue& words, TextRenderer& text, std::string_view name);
// The results on the panel: the title, the labels and their values, and with a place in
// the ranking (rank_in 1..9; -1 for none) the place and the line after it.
std::vector<DrawnText> ResultTexts(const Catalogue& words, TextRenderer& text,
                                   const std::string& battle_time, int32_t score, int rank_in);

// Every text the match can draw in this language, with the widest values each can show.
std::vector<DrawnText> EveryDrawnText(const Catalogue& words, TextRenderer& text);

// The size and weight the text is drawn in: its target's face size, FontBold and its face.
TextState DrawnState(const DrawnText& drawn);

// Prints the text with its shadow on its target in its face, clipped to its space (or not
// at all clipped when clip is false, for measuring where it would go).
void DrawText(TextRenderer& text, Surface& target, const DrawnText& drawn, bool clip = true);

}  // namespace rv
