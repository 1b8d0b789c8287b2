#include "game/match/match_results.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "game/game.h"
#include "game/gfx/blit.h"
#include "game/match/drawn_texts.h"
#include "game/match/match_drawing.h"
#include "game/ranking/score.h"

namespace rv {

namespace {

constexpr int kBattleTimeX = 350;

// The panel grows strip by strip, each strip up to the width the time since the sweep
// began calls for. Measuring from the start (rather than adding up the rounded growth of
// each pass) matters: a pass shorter than 1.25 ms would round its growth to 0 every time
// and the sweep would never end on a fast machine.
void SweepPanel(Game& game, int32_t sweep_start) {
  const rects::Rect& square = rects::kPanelSquare;
  int w = 0;
  while (w < kPanelWidth) {
    game.DoEvents();
    const int target = PanelWidthAt(static_cast<int32_t>(static_cast<uint32_t>(game.Now()) -
                                                         static_cast<uint32_t>(sweep_start)));
    if (target <= w) continue;  // a strip of width 0 draws nothing
    AlphaBlend(game.display.GameScreen, kPanel.x + w, kPanel.y, target - w, kPanel.h,
               game.pictures.PicWindow, square.x, square.y, square.w, square.h,
               game.blend.BlendArg);
    w = target;
    game.display.Refresh();
  }
}

void DrawResults(Game& game, int32_t score) {
  TextRenderer& text = TextOf(game);
  for (const DrawnText& d :
       ResultTexts(game.language.words, text, BattleTimeText(game.totals.TotalTime), score,
                   game.totals.RankIn)) {
    DrawText(text, game.display.GameScreen, d);
  }
  // The results must stand on the screen during the 4 s that follow.
  game.display.Refresh();
}

void ResetMatchState(MatchState& m) {
  m.MoveRound = 0;
  m.RoundCount = 0;
  m.RoundNo = 0;
  m.PlayerWins = 0;
  m.CpuWins = 0;
  m.GameMode = 0;
}

}  // namespace

int PanelWidthAt(int32_t elapsed_ms) {
  if (elapsed_ms <= 0) return 0;
  if (elapsed_ms >= 600) return kPanelWidth;  // 600 ms x 0.4 px/ms covers the panel
  // 0.4 px per ms: elapsed x 2 / 5, rounded half to even.
  return rects::RoundHalfEven(elapsed_ms * 2, 5);
}

std::string BattleTimeText(int64_t total_ms) {
  if (total_ms < 0) total_ms = 0;
  const int64_t hundredths = total_ms / 10;
  const int64_t h = hundredths % 100;
  int64_t sec = hundredths / 100;
  const int64_t m = sec / 60;
  sec %= 60;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(m),
                static_cast<long long>(sec), static_cast<long long>(h));
  return text;
}

int BattleTimeX(int text_width) {
  return std::min(kBattleTimeX, kPanel.x + kPanel.w - 1 - text_width);
}

std::string FullWidthDigits(int value) {
  std::string out;
  for (char ch : std::to_string(value < 0 ? 0 : value)) {
    // U+FF10 + d in UTF-8: EF BC 90+d.
    out += "\xEF\xBC";
    out += static_cast<char>(0x90 + (ch - '0'));
  }
  return out;
}

int32_t ScoreMatch(Game& game) {
  MatchState& m = game.match;
  MatchScoring result;
  try {
    result = RecordMatchResult(m.GameMode, m.RoundCount, m.PlayerWins, m.CpuWins, m.RoundTime,
                               m.PlayerWon, m.RoundMoves, *game.ranking_book);
  } catch (const std::exception&) {
    result.ok = false;
  }
  game.totals.Score = result.score;
  game.totals.TotalTime = result.TotalTime;
  game.totals.TotalMoves = result.TotalMoves;
  game.totals.RankIn = result.RankIn;
  if (!result.ok) game.FailAndUnload(TextId("エラー発生！"), TextId("エラー２"));
  return result.score;
}

void ShowMatchResults(Game& game, int32_t sweep_start) {
  SweepPanel(game, sweep_start);
  const int32_t score = ScoreMatch(game);
  DrawResults(game, score);
  game.WaitMs(4000);
  game.display.EnemyCursor.Hide();
  game.display.CharaCursor.Hide();
  FadeContext fade = game.Fade();
  FadeScreen(fade, 1);
  game.WaitMs(500);
  game.sound.StopMusic();
  ResetMatchState(game.match);
}

}  // namespace rv
