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
  const TextState state = DrawnState(d);
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
  const std::vector<DrawnText> all = EveryDrawnText(words, text);
  // Measured in the Japanese face, a Latin text would be judged in a face it is never
  // meant to be drawn in.
  if (!text.HasLatinFace() && std::any_of(all.begin(), all.end(), [](const DrawnText& d) {
        return d.face == TextFace::kLatin;
      })) {
    problems.push_back("the Latin face (DejaVu Sans, fonts-dejavu-core) is not installed");
  }
  for (const DrawnText& d : all) {
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
