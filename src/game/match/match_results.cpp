#include "game/match/match_results.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "config/player_files.h"
#include "game/game.h"
#include "game/gfx/blit.h"
#include "game/match/match_drawing.h"
#include "game/ranking/score.h"
#include "lang/fill.h"

namespace rv {

namespace {

constexpr int kPanelX = 200;
constexpr int kPanelY = 96;
constexpr int kPanelHeight = 190;
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
    AlphaBlend(game.display.GameScreen, kPanelX + w, kPanelY, target - w, kPanelHeight,
               game.pictures.PicWindow, square.x, square.y, square.w, square.h,
               game.blend.BlendArg);
    w = target;
    game.display.Refresh();
  }
}

void DrawResults(Game& game, int32_t score) {
  ShadowText(game, 280, 112, game.words.Tr("試合終了！"), -1, 1);
  ShadowText(game, 225, 160, game.words.Tr("戦闘時間"), 0, 1);
  ShadowText(game, 225, 200, game.words.Tr("得点"), 0, 1);
  const std::string time = BattleTimeText(game.totals.TotalTime);
  const int time_width = game.text ? game.text->TextWidth(game.display.GameScreen.text(), time) : 0;
  ColorText(game, static_cast<int16_t>(BattleTimeX(time_width)), 160, 255, 255, 0, time, 0);
  ColorText(game, 350, 200, 0, 255, 0, std::to_string(score), 0);
  if (game.totals.RankIn != -1) {
    // Japanese writes the place in full-width digits; the line after it starts at 320
    // unless another language's place is longer.
    const bool as_written = game.words.empty();
    const std::string digits =
        as_written ? FullWidthDigits(game.totals.RankIn) : std::to_string(game.totals.RankIn);
    const std::string place = Fill(game.words.TrIn("results", "%1位"), {digits});
    ColorText(game, 270, 250, 255, 255, 0, place, -1);
    int16_t rest_x = 320;
    if (!as_written && game.text) {
      TextState bold = game.display.GameScreen.text();
      bold.FontBold = true;
      rest_x = static_cast<int16_t>(std::max(320, 270 + game.text->TextWidth(bold, place) + 8));
    }
    ShadowText(game, rest_x, 250, game.words.Tr("にランクイン！"), 0, 1);
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
  return std::min(kBattleTimeX, kPanelX + kPanelWidth - 1 - text_width);
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
    result = ScoreMatchAndRank(m.GameMode, m.RoundCount, m.PlayerWins, m.CpuWins, m.RoundTime,
                               m.PlayerWon, m.RoundMoves, game.ranking, game.File(kRankingFile));
  } catch (const std::exception&) {
    result.ok = false;
  }
  if (!result.ok) game.FailAndUnload(TextId("エラー発生！"), TextId("エラー２"));
  game.totals.TotalTime = result.TotalTime;
  game.totals.TotalMoves = result.TotalMoves;
  game.totals.RankIn = result.RankIn;
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
