#include "game/match/text_fit.h"

#include <algorithm>
#include <set>

#include "game/gfx/surface.h"
#include "game/gfx/text.h"
#include "game/match/drawn_texts.h"

namespace rv {

namespace {

// A grey that both the black shadow and every face colour change.
constexpr uint32_t kBackground = 0x808080;

std::string SpaceName(const DrawnText& d) {
  const TextSpace& s = d.space;
  return std::string(d.where) + " (x " + std::to_string(s.x) + ".." +
         std::to_string(s.x + s.w - 1) + ", y " + std::to_string(s.y) + ".." +
         std::to_string(s.y + s.h - 1) + ")";
}

bool HasControl(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
  });
}

// The text with its line breaks as \n, so that a refusal stays on one line.
std::string Shown(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

// The pixels the text changes outside its space, drawn unclipped on a surface wide enough
// for any text that could be drawn.
std::string Overflow(TextRenderer& text, const DrawnText& d) {
  TextState state;
  state.font_px = d.target == TextTarget::kComposition ? kCompositionFacePx : kScreenFacePx;
  state.FontBold = d.bold == -1;
  const int width = std::max(0, static_cast<int>(d.x)) + text.TextWidth(state, d.text) + 64;
  Surface scratch(std::max(640, width), 480, kBackground);
  scratch.text().font_px = state.font_px;
  DrawText(text, scratch, d, false);
  int left = scratch.width();
  int right = -1;
  int top = scratch.height();
  int bottom = -1;
  for (int y = 0; y < scratch.height(); ++y) {
    for (int x = 0; x < scratch.width(); ++x) {
      if (scratch.Pixel(x, y) == kBackground) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0 || (d.space.Contains(left, top) && d.space.Contains(right, bottom))) return {};
  return "drawn over x " + std::to_string(left) + ".." + std::to_string(right) + ", y " +
         std::to_string(top) + ".." + std::to_string(bottom);
}

}  // namespace

std::vector<std::string> TextsThatDoNotFit(const Catalogue& words, TextRenderer& text) {
  std::vector<std::string> problems;
  std::set<std::string> said;
  for (const DrawnText& d : EveryDrawnText(words, text)) {
    if (d.id.empty()) continue;
    std::string why;
    if (HasControl(d.text)) {
      why = "holds a line break or another control character";
    } else {
      const std::string overflow = Overflow(text, d);
      if (!overflow.empty()) why = "does not fit, " + overflow;
    }
    if (why.empty()) continue;
    const std::string line = "\"" + std::string(d.id) + "\" as \"" + Shown(d.text) + "\" in " +
                             SpaceName(d) + ": " + why;
    if (said.insert(line).second) problems.push_back(line);
  }
  return problems;
}

}  // namespace rv
