// The results of a match as they appear in the captured frames: the translucent panel, the
// texts at their places in their colours, the place only when ranked, and the fade.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "game/gfx/text.h"
#include "game/match/drawn_texts.h"
#include "game/match/match_results.h"
#include "game/ranking/score.h"
#include "match_harness.h"
#include "support/mo_file.h"

namespace rv::test {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kGreen = 0x00FF00;

struct Box {
  int x0, y0, x1, y1;  // inclusive
};

// The top-left-most pixels of a colour in a box: {min x, min y}, or {-1, -1} when none.
std::pair<int, int> FindColour(const CapturedFrame& f, uint32_t colour, Box b) {
  int min_x = INT_MAX;
  int min_y = INT_MAX;
  for (int y = b.y0; y <= b.y1; ++y) {
    for (int x = b.x0; x <= b.x1; ++x) {
      if (f.Pixel(x, y) != colour) continue;
      min_x = std::min(min_x, x);
      min_y = std::min(min_y, y);
    }
  }
  if (min_x == INT_MAX) return {-1, -1};
  return {min_x, min_y};
}

// y_slack: how far below y the first full-colour pixel may lie (Latin capitals start lower
// in the line than kana and kanji).
void ExpectTextAt(const CapturedFrame& f, uint32_t colour, int x, int y, int w, const char* what,
                  int y_slack = 8) {
  const auto [fx, fy] = FindColour(f, colour, Box{x - 10, y - 6, x + w, y + 24});
  EXPECT_GE(fx, x) << what;
  EXPECT_LE(fx, x + 12) << what;  // a glyph's left bearing
  EXPECT_GE(fy, y) << what;
  EXPECT_LE(fy, y + y_slack) << what;
}

struct Ending {
  CapturedFrame before_sweep;  // the last round's banner
  CapturedFrame panel;         // the sweep finished
  CapturedFrame results;
  CapturedFrame last;  // the end of the fade
  std::unique_ptr<MatchHarness> harness;
};

// Plays one-round matches until one ends the way asked for (ranked or not).
Ending PlayUntil(bool ranked, const std::string& language = "ja",
                 const std::function<void(const std::filesystem::path&)>& edit_folder = nullptr) {
  for (uint64_t seed = 1; seed <= 30; ++seed) {
    auto h = std::make_unique<MatchHarness>(seed, edit_folder, language);
    h->UseBot(ranked ? PlayerKind::kGreedy : PlayerKind::kRandom, seed);
    EXPECT_EQ(h->Play(ranked ? 0 : 2, 1), std::nullopt);
    if ((h->game().totals.RankIn != -1) != ranked) continue;
    // From the end: 27 fade steps, the two cursors hidden, the results, the finished panel.
    const std::deque<CapturedFrame>& f = h->end_frames;
    EXPECT_GE(f.size(), 31u);
    Ending e{*h->banner_frame, f[f.size() - 31], f[f.size() - 30], f.back(), std::move(h)};
    return e;
  }
  ADD_FAILURE() << "no seed gave the ending asked for";
  return {};
}

class ResultsLayout : public ::testing::TestWithParam<bool> {};

TEST_P(ResultsLayout, PanelAndTextsStandWhereTheyBelong) {
  const bool ranked = GetParam();
  Ending e = PlayUntil(ranked);
  ASSERT_TRUE(e.harness);
  Game& game = e.harness->game();

  // The panel covers x 200..439, y 96..285 and nothing else.
  int changed_inside = 0;
  for (int y = 90; y < 292; ++y) {
    for (int x = 194; x < 446; ++x) {
      const bool inside = x >= 200 && x <= 439 && y >= 96 && y <= 285;
      const bool changed = e.panel.Pixel(x, y) != e.before_sweep.Pixel(x, y);
      if (inside) {
        changed_inside += changed;
      } else {
        ASSERT_FALSE(changed) << x << "," << y;
      }
    }
  }
  EXPECT_GT(changed_inside, 240 * 190 * 9 / 10);

  ExpectTextAt(e.results, kWhite, 280, 112, 120, "試合終了！");
  ExpectTextAt(e.results, kWhite, 225, 160, 80, "戦闘時間");
  ExpectTextAt(e.results, kWhite, 225, 200, 40, "得点");
  ExpectTextAt(e.results, kYellow, 350, 160, 80, "battle time");
  ExpectTextAt(e.results, kGreen, 350, 200, 60, "score");
  const Box place_band{200, 244, 439, 285};
  if (ranked) {
    ExpectTextAt(e.results, kYellow, 270, 250, 40, "place");
    ExpectTextAt(e.results, kWhite, 320, 250, 110, "にランクイン！");
  } else {
    EXPECT_EQ(FindColour(e.results, kYellow, place_band).first, -1);
    EXPECT_EQ(FindColour(e.results, kWhite, place_band).first, -1);
  }

  // Exactly these texts: printing them over the finished panel gives the results frame.
  const MatchState& m = game.match;
  const int16_t wins = static_cast<int16_t>(m.PlayerWon[0] != 0);
  const int32_t score = ComputeScore(ranked ? 0 : 2, wins, static_cast<int16_t>(1 - wins),
                                     m.RoundTime, m.PlayerWon, m.RoundMoves)
                            .score;
  Surface expected(640, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) expected.SetPixel(x, y, e.panel.Pixel(x, y));
  }
  Surface scratch(640, 480);
  TextRenderer& text = *game.text;
  DrawShadowText(text, expected, scratch, 280, 112, "試合終了！", -1, 1);
  DrawShadowText(text, expected, scratch, 225, 160, "戦闘時間", 0, 1);
  DrawShadowText(text, expected, scratch, 225, 200, "得点", 0, 1);
  DrawColorText(text, expected, 350, 160, 255, 255, 0, BattleTimeText(game.totals.TotalTime), 0);
  DrawColorText(text, expected, 350, 200, 0, 255, 0, std::to_string(score), 0);
  if (ranked) {
    DrawColorText(text, expected, 270, 250, 255, 255, 0, FullWidthDigits(game.totals.RankIn) + "位",
                  -1);
    DrawShadowText(text, expected, scratch, 320, 250, "にランクイン！", 0, 1);
  }
  // The cursor shapes are drawn over the screen; their squares are left out.
  auto under_cursor = [&](int x, int y) {
    for (const CursorShape* c : {&game.display.CharaCursor, &game.display.EnemyCursor}) {
      if (x >= c->X() && x < c->X() + 16 && y >= c->Y() && y < c->Y() + 16) return true;
    }
    return false;
  };
  int differing = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (!under_cursor(x, y)) differing += e.results.Pixel(x, y) != expected.Pixel(x, y);
    }
  }
  EXPECT_EQ(differing, 0);

  // The fade ends on the plain background, and the results pause lasted 4 s.
  for (int y = 0; y < 480; y += 7) {
    for (int x = 0; x < 640; x += 7) {
      ASSERT_EQ(e.last.Pixel(x, y), game.pictures.PicBack.Pixel(x, y)) << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RankedOrNot, ResultsLayout, ::testing::Values(true, false));

// The rightmost pixel of a colour in a box, or -1.
int RightmostOf(const CapturedFrame& f, uint32_t colour, Box b) {
  int right = -1;
  for (int y = b.y0; y <= b.y1; ++y) {
    for (int x = b.x0; x <= b.x1; ++x) {
      if (f.Pixel(x, y) == colour) right = std::max(right, x);
    }
  }
  return right;
}

// English words are longer than the Japanese ones: each still starts where the design puts
// it, the place and its line do not run into each other, and nothing leaves the panel.
TEST(ResultsLayoutInEnglish, TheTextsKeepTheirPlacesAndStayInThePanel) {
  Ending e = PlayUntil(true, "en");
  ASSERT_TRUE(e.harness);
  ExpectTextAt(e.results, kWhite, 280, 112, 120, "Match over!", 12);
  ExpectTextAt(e.results, kWhite, 225, 160, 80, "Time", 12);
  ExpectTextAt(e.results, kWhite, 225, 200, 60, "Score", 12);
  ExpectTextAt(e.results, kYellow, 270, 250, 60, "No. N", 12);
  const Box band{200, 244, 445, 285};
  const int place_right = RightmostOf(e.results, kYellow, band);
  const auto [line_left, line_top] = FindColour(e.results, kWhite, band);
  ASSERT_GT(place_right, 270);
  EXPECT_GT(line_left, place_right + 3) << "the place runs into its line";
  EXPECT_GE(line_left, 320);
  EXPECT_LE(RightmostOf(e.results, kWhite, Box{200, 96, 445, 285}), 439) << "out of the panel";
  EXPECT_LE(RightmostOf(e.results, kYellow, Box{200, 96, 445, 285}), 439) << "out of the panel";
}

// Words far too long for their spaces (a catalogue the build would refuse) are cut at the
// edge of each space: no pixel of a text lands outside its own space, nor in another's.
struct TooLong {
  const char* name;
  std::vector<std::pair<std::string, std::string>> pairs;
};

void PrintTo(const TooLong& c, std::ostream* os) { *os << c.name; }

class ResultsLayoutWithWordsTooLong : public ::testing::TestWithParam<TooLong> {};

TEST_P(ResultsLayoutWithWordsTooLong, EveryTextIsCutAtTheEdgeOfItsSpace) {
  const std::string mo = MakeMo(GetParam().pairs);
  Ending e = PlayUntil(true, "en", [&](const std::filesystem::path& folder) {
    // The folder's locale/ links to the build's; this catalogue is the test's own.
    const std::filesystem::path messages = folder / "locale/en/LC_MESSAGES";
    std::filesystem::remove(folder / "locale");
    std::filesystem::create_directories(messages);
    std::ofstream(messages / "ravolin.mo", std::ios::binary) << mo;
  });
  ASSERT_TRUE(e.harness);
  Game& game = e.harness->game();
  ASSERT_EQ(game.language.words.Tr("戦闘時間"), GetParam().pairs[1].second);
  const std::vector<DrawnText> texts =
      ResultTexts(game.language.words, *game.text, BattleTimeText(game.totals.TotalTime), 0,
                  game.totals.RankIn);
  auto in_space = [&](int x, int y, std::optional<uint32_t> face) {
    return std::any_of(texts.begin(), texts.end(), [&](const DrawnText& d) {
      return d.space.Contains(x, y) && (!face || d.color == *face);
    });
  };
  auto under_cursor = [&](int x, int y) {
    for (const CursorShape* c : {&game.display.CharaCursor, &game.display.EnemyCursor}) {
      if (x >= c->X() && x < c->X() + 16 && y >= c->Y() && y < c->Y() + 16) return true;
    }
    return false;
  };
  int outside = 0;
  int stray_face = 0;
  int drawn = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint32_t now = e.results.Pixel(x, y);
      if (now == e.panel.Pixel(x, y) || under_cursor(x, y)) continue;
      ++drawn;
      outside += !in_space(x, y, std::nullopt);
      // A pixel in a text's full face colour belongs to a text of that colour.
      if (now == kWhite || now == kYellow || now == kGreen) stray_face += !in_space(x, y, now);
    }
  }
  EXPECT_GT(drawn, 500);
  EXPECT_EQ(outside, 0) << "pixels drawn outside every text's space";
  EXPECT_EQ(stray_face, 0) << "a text drawn into another's space";
}

const std::string kMoHeader = "Content-Type: text/plain; charset=UTF-8\n";

INSTANTIATE_TEST_SUITE_P(
    LongCatalogues, ResultsLayoutWithWordsTooLong,
    ::testing::Values(
        TooLong{"Labels",
                {{"", kMoHeader},
                 {"戦闘時間", "Time Time Time Time Time Time Time"},
                 {"得点", "Score Score Score Score Score Score Score"}}},
        TooLong{"TitleAndRanking",
                {{"", kMoHeader},
                 {"戦闘時間", "Time"},
                 {"試合終了！", "Match over! Match over! Match over! Match over!"},
                 {"results\x04%1位", "Place number %1 of the very best"},
                 {"にランクイン！", "in the ranking! in the ranking! in the ranking!"}}},
        TooLong{"LineBreaks",
                {{"", kMoHeader},
                 {"戦闘時間", "Time\nof the\nbattle"},
                 {"試合終了！", "Match\nover! Match\nover! Match\nover! Match\nover!"},
                 {"にランクイン！", "in the\nranking! in the\nranking! in the\nranking!"}}}),
    [](const ::testing::TestParamInfo<TooLong>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rv::test
