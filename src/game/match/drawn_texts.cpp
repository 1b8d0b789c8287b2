#include "game/match/drawn_texts.h"

#include <algorithm>

#include "game/match/match_results.h"
#include "game/ranking/ranking_tables.h"
#include "lang/catalogue.h"
#include "lang/placeholders.h"

namespace rv {

namespace {

// The windows and the panel the texts are drawn in (the windows are composed at the top-left
// of PicMemory, then copied to the screen).
constexpr int kWindowWidth = 224;
constexpr int kWindowFrame = 4;
// The air every text keeps from the frame or the edge it stands beside.
constexpr int kTextMargin = 4;
constexpr int kWindowRight = kWindowWidth - kWindowFrame - kTextMargin;
constexpr int kPanelRight = kPanel.x + kPanel.w - kTextMargin;
// The value after a label starts at 350; its label stops short of it.
constexpr int kValueX = 350;
constexpr int kLabelRight = kValueX - 4;
constexpr int kPlaceX = 270;
constexpr int kRankLineX = 320;

// A line's space: from just left of its pen (a glyph's left bearing may be negative) to
// `right`, from just above its top to the next line's space.
TextSpace LineSpace(TextTarget target, int x, int y, int right) {
  const int left = x - 2;
  const int height = target == TextTarget::kComposition ? 30 : 24;
  return TextSpace{left, y - 3, std::max(0, right - left), height};
}

DrawnText Line(TextTarget target, std::string_view id, std::string_view where, std::string text,
               int x, int y, int right, int16_t bold = 0, uint32_t color = 0xFFFFFF) {
  DrawnText d;
  d.id = id;
  d.where = where;
  d.text = std::move(text);
  d.target = target;
  d.x = static_cast<int16_t>(x);
  d.y = static_cast<int16_t>(y);
  d.bold = bold;
  d.color = color;
  d.space = LineSpace(target, x, y, right);
  return d;
}

TextState FaceState(TextTarget target, TextFace face, bool bold) {
  TextState state;
  state.face = face;
  state.font_px = target == TextTarget::kComposition ? kCompositionFacePx : kScreenFacePx;
  state.FontBold = bold;
  return state;
}

// Japanese is printed as it always was; another language's words (and the values beside
// them) in the pictures' Latin face, unless a word was left in Japanese.
TextFace FaceOf(const Catalogue& words, std::string_view text) {
  return words.empty() || NeedsJapaneseFace(text) ? TextFace::kJapanese : TextFace::kLatin;
}

std::vector<DrawnText> InTheirFaces(const Catalogue& words, std::vector<DrawnText> texts) {
  for (DrawnText& d : texts) d.face = FaceOf(words, d.text);
  return texts;
}

constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kGreen = 0x00FF00;

}  // namespace

std::vector<DrawnText> RouletteTexts(const Catalogue& words) {
  constexpr TextTarget kOn = TextTarget::kComposition;
  return InTheirFaces(words, {
                                 Line(kOn, "先行プレイヤー選択", "the roulette's title",
                                      words.Tr("先行プレイヤー選択"), 10, 15, kWindowRight, -1),
                                 Line(kOn, "プレイヤー", "the roulette's player line",
                                      words.Tr("プレイヤー"), 35, 45, kWindowRight),
                                 Line(kOn, "ＣＰＵ", "the roulette's CPU line", words.Tr("ＣＰＵ"),
                                      35, 75, kWindowRight),
                             });
}

DrawnText BannerText(const Catalogue& words, TextRenderer& text, std::string_view name) {
  const std::string line = FillPlaceholders(words.Tr("%1の勝利！"), {words.Tr(name)});
  // The shorter CPU line starts further right; another language's line is centred.
  const TextFace face = FaceOf(words, line);
  int x = name == "プレイヤー" ? 17 : 55;
  if (!words.empty()) {
    const int width = text.TextWidth(FaceState(TextTarget::kComposition, face, false), line);
    x = std::max(0, (kWindowWidth - width) / 2);
  }
  DrawnText d =
      Line(TextTarget::kComposition, "%1の勝利！", "the winner banner", line, x, 5, kWindowRight);
  d.face = face;
  d.space.x = kWindowFrame + kTextMargin;
  d.space.w = kWindowRight - d.space.x;
  return d;
}

std::vector<DrawnText> ResultTexts(const Catalogue& words, TextRenderer& text,
                                   const std::string& battle_time, int32_t score, int rank_in) {
  constexpr TextTarget kOn = TextTarget::kScreen;
  const int time_x =
      BattleTimeX(text.TextWidth(FaceState(kOn, FaceOf(words, battle_time), false), battle_time));
  std::vector<DrawnText> out = {
      Line(kOn, "試合終了！", "the results' title", words.Tr("試合終了！"), 280, 112, kPanelRight,
           -1),
      Line(kOn, "戦闘時間", "the battle time's label", words.Tr("戦闘時間"), 225, 160, kLabelRight),
      Line(kOn, "得点", "the score's label", words.Tr("得点"), 225, 200, kLabelRight),
      // The values are ours, not a catalogue's; they need only stay in the panel.
      Line(kOn, "", "the battle time", battle_time, time_x, 160, kPanelRight, 0, kYellow),
      Line(kOn, "", "the score", std::to_string(score), kValueX, 200, kPanelRight, 0, kGreen),
  };
  for (DrawnText* value : {&out[3], &out[4]}) {
    value->space.x = kPanel.x;
    value->space.w = kPanel.w;
  }
  out = InTheirFaces(words, std::move(out));
  if (rank_in == -1) return out;
  // Japanese writes the place in full-width digits; the line after it starts at 320
  // unless another language's place is longer.
  const bool as_written = words.empty();
  const std::string digits = as_written ? FullWidthDigits(rank_in) : std::to_string(rank_in);
  const std::string place = FillPlaceholders(words.TrIn("results", "%1位"), {digits});
  int rest_x = kRankLineX;
  if (!as_written) {
    const TextState state = FaceState(kOn, FaceOf(words, place), true);
    rest_x = std::max(kRankLineX, kPlaceX + text.TextWidth(state, place) + 8);
  }
  out.push_back(Line(kOn, "%1位", "the place in the ranking (msgctxt results)", place, kPlaceX, 250,
                     std::min(rest_x - 4, kPanelRight), -1, kYellow));
  out.push_back(Line(kOn, "にランクイン！", "the line after the place", words.Tr("にランクイン！"),
                     rest_x, 250, kPanelRight));
  for (size_t i = out.size() - 2; i < out.size(); ++i) out[i].face = FaceOf(words, out[i].text);
  return out;
}

std::vector<DrawnText> EveryDrawnText(const Catalogue& words, TextRenderer& text) {
  std::vector<DrawnText> all = RouletteTexts(words);
  all.push_back(BannerText(words, text, "プレイヤー"));
  all.push_back(BannerText(words, text, "ＣＰＵ"));
  // 99:59:99, the widest time of a match under 100 minutes.
  const std::string time = BattleTimeText(5999990);
  for (int place = 1; place <= kRankPlaces; ++place) {
    for (DrawnText& d : ResultTexts(words, text, time, 0, place)) all.push_back(std::move(d));
  }
  return all;
}

TextState DrawnState(const DrawnText& drawn) {
  return FaceState(drawn.target, drawn.face, drawn.bold == -1);
}

void DrawText(TextRenderer& text, Surface& target, const DrawnText& drawn, bool clip) {
  // The face is the text's own; the surface keeps the one it had.
  const TextFace before = target.text().face;
  target.text().face = drawn.face;
  DrawColorText(text, target, drawn.x, drawn.y, static_cast<int>((drawn.color >> 16) & 0xFF),
                static_cast<int>((drawn.color >> 8) & 0xFF), static_cast<int>(drawn.color & 0xFF),
                drawn.text, drawn.bold, clip ? &drawn.space : nullptr);
  target.text().face = before;
}

}  // namespace rv
