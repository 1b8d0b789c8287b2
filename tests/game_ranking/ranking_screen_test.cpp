// The ranking screen as the player meets it: browsing the 15 lists with the arrows, the
// pulsing marks between redraws, leaving with Z, and hand-edited files.
#include "game/ranking/ranking_screen.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <vector>

#include "game/ranking/ranking_file.h"
#include "game/ranking/ranking_marks.h"
#include "ranking_fixture.h"

namespace rv::test {
namespace {

constexpr rects::Rect Piece(int x, int y, int w, int h) {
  return {rects::Picture::kOther, x, y, w, h};
}
constexpr int kRoundsDigitX[5] = {27, 78, 129, 180, 231};

// The list a frame's footer names, {-1, -1} when it names none.
struct ListShown {
  int mode = -1;
  int rounds = -1;
  bool operator==(const ListShown&) const = default;
};

ListShown FooterOf(const CapturedFrame& f, const Surface& other) {
  ListShown shown;
  if (FrameShows(f, 240, 410, other, Piece(0, 190, 290, 30))) shown.mode = 2;
  for (int m = 0; m < 2; ++m)
    if (FrameShows(f, 460, 410, other, Piece(135 + 75 * m, 155, 70, 30))) shown.mode = m;
  for (int r = 1; r <= 9; r += 2)
    if (FrameShows(f, 373, 440, other, Piece(kRoundsDigitX[r / 2], 87, 25, 30))) shown.rounds = r;
  return shown;
}

// Which marks a frame shows. A mark counts as present when any of its pixels is lit
// above the faintest blend; the tests keep the level below 220, where every mark is.
struct MarksShown {
  bool left = false, right = false, up = false, down = false;
  bool Any() const { return left || right || up || down; }
  bool operator==(const MarksShown&) const = default;
};

bool Lit(const CapturedFrame& f, int x, int y, int w, int h) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const uint32_t p = f.Pixel(x + i, y + j);
      if (((p >> 16) & 0xFF) > 8 || ((p >> 8) & 0xFF) > 8 || (p & 0xFF) > 8) return true;
    }
  return false;
}

MarksShown MarksOf(const CapturedFrame& f) {
  MarksShown m;
  m.left = Lit(f, 0, 0, 30, 40) && Lit(f, 0, 440, 30, 40);  // the length marks cover x 30..
  m.right = Lit(f, 605, 5, 35, 40) && Lit(f, 605, 445, 35, 35);
  m.up = Lit(f, 30, 8, 38, 35) && Lit(f, 565, 8, 38, 35);
  m.down = Lit(f, 30, 448, 38, 32) && Lit(f, 565, 448, 38, 32);
  return m;
}

MarksShown MarksExpected(const ListShown& l) {
  return {l.mode != 0, l.mode != 2, l.rounds != 1, l.rounds != 9};
}

// Ticks since a level of 0 that lead to `level` (the first 77 levels are all different).
int TicksToLevel(int16_t level) {
  int16_t v = 0;
  for (int n = 0; n < 77; ++n, v = NextBlinkLevel(v))
    if (v == level) return n;
  return -1;
}

class RankingScreen : public RankingFixture {
 protected:
  void SetUp() override {
    RankingFixture::SetUp();
    platform_.KeepAllFrames(true);
  }

  // Runs one visit and sorts its frames: a full redraw leaves every mark place dark, a
  // tick lights the marks of the list. Cross-checked against the level's tick count.
  void Visit() {
    const size_t first = platform_.Frames().size();
    const int ticks_before = TicksToLevel(game_->rank_screen.BlinkLevel);
    RunShowRanking();
    redraws_.clear();
    ticks_.clear();
    frames_.clear();
    for (size_t i = first; i < platform_.Frames().size(); ++i) {
      const CapturedFrame& f = platform_.Frames()[i];
      frames_.push_back(&f);
      (MarksOf(f).Any() ? ticks_ : redraws_).push_back(&f);
    }
    const int ticks = TicksToLevel(game_->rank_screen.BlinkLevel) - ticks_before;
    ASSERT_GE(ticks_before, 0);
    ASSERT_EQ(static_cast<int>(ticks_.size()), ticks) << "every tick draws one frame";
  }

  std::vector<ListShown> RedrawnLists() const {
    std::vector<ListShown> lists;
    for (const CapturedFrame* f : redraws_) lists.push_back(FooterOf(*f, Other()));
    return lists;
  }

  // Every tick shows the marks of the list drawn before it (in the order of the frames: a
  // tick and a redraw may fall in the same millisecond).
  void ExpectTicksMatchTheirList() {
    ListShown current;
    for (const CapturedFrame* f : frames_) {
      if (!MarksOf(*f).Any()) {
        current = FooterOf(*f, Other());
        continue;
      }
      EXPECT_EQ(FooterOf(*f, Other()), current) << "tick at " << f->time;
      EXPECT_EQ(MarksOf(*f), MarksExpected(current))
          << "tick at " << f->time << " list " << current.mode << "/" << current.rounds;
    }
  }

  std::vector<const CapturedFrame*> frames_;
  std::vector<const CapturedFrame*> redraws_;
  std::vector<const CapturedFrame*> ticks_;
};

TEST_F(RankingScreen, FreshInstallShowsEmptyPlacesOfTheFirstList) {
  Press(400, vk::kZ);
  Visit();
  ASSERT_EQ(redraws_.size(), 1u);
  ASSERT_GE(ticks_.size(), 2u);
  const CapturedFrame& first = *redraws_[0];
  EXPECT_EQ(first.time, platform_.Frames().front().time) << "the list is drawn first";
  EXPECT_EQ(FooterOf(first, Other()), (ListShown{0, 1}));
  for (int d = 0; d < 9; ++d) {
    const int y = 100 + 35 * d;
    EXPECT_TRUE(FrameShows(first, 40, y, Other(), Piece(260, 90, 35, 27))) << d;
    EXPECT_TRUE(FrameBlack(first, 75, y, 565, 27)) << "row " << d << " has only its place";
  }
  // The first tick blends at level 0: the marks exactly as in the sheet, and only the
  // right-hand and bottom ones.
  const CapturedFrame& tick = *ticks_[0];
  EXPECT_TRUE(FrameShows(tick, 605, 5, Other(), Piece(195, 260, 40, 40)));
  EXPECT_TRUE(FrameShows(tick, 605, 445, Other(), Piece(195, 260, 40, 40)));
  EXPECT_TRUE(FrameShows(tick, 30, 448, Other(), Piece(40, 340, 38, 40)));
  EXPECT_TRUE(FrameShows(tick, 565, 448, Other(), Piece(40, 340, 38, 40)));
  EXPECT_TRUE(FrameBlack(tick, 0, 0, 40, 40));
  EXPECT_TRUE(FrameBlack(tick, 0, 440, 30, 40));  // the bottom mark covers x 30..
  EXPECT_TRUE(FrameBlack(tick, 30, 8, 38, 35));
  EXPECT_TRUE(FrameBlack(tick, 565, 8, 38, 35));
  ExpectTicksMatchTheirList();
  SaveShot(first, "ranking_empty");
  SaveShot(*ticks_[3], "ranking_empty_tick");
}

TEST_F(RankingScreen, TicksComeEverySeventyMillisecondsWhileTheScreenWaits) {
  Press(1500, vk::kZ);
  Visit();
  ASSERT_GE(ticks_.size(), 15u);
  EXPECT_GE(ticks_[0]->time - redraws_[0]->time, 70u);
  for (size_t i = 1; i < ticks_.size(); ++i) {
    const uint32_t gap = ticks_[i]->time - ticks_[i - 1]->time;
    EXPECT_GE(gap, 70u);
    EXPECT_LE(gap, 92u) << "a tick waits at most one poll";
  }
}

TEST_F(RankingScreen, LeftAtTheEasiestAndUpAtOneRoundRedrawNothing) {
  Press(300, vk::kLeft, 300);
  Press(700, vk::kUp, 300);
  Press(1100, vk::kX, 100);  // the decide key has no function here
  Press(1400, vk::kZ);
  Visit();
  EXPECT_EQ(redraws_.size(), 1u);
  for (const CapturedFrame* f : ticks_) EXPECT_EQ(FooterOf(*f, Other()), (ListShown{0, 1}));
  ExpectTicksMatchTheirList();
}

TEST_F(RankingScreen, DownStepsThroughTheMatchLengthsAndStopsAtNine) {
  for (uint32_t at : {250u, 450u, 650u, 850u, 1050u}) Press(at, vk::kDown);
  Press(1250, vk::kZ);
  Visit();
  const std::vector<ListShown> want = {{0, 1}, {0, 3}, {0, 5}, {0, 7}, {0, 9}};
  EXPECT_EQ(RedrawnLists(), want) << "the fifth press at nine redraws nothing";
  ExpectTicksMatchTheirList();
  EXPECT_EQ(game_->rank_screen.RankShownRounds, 9);
  if (!ticks_.empty()) SaveShot(*ticks_.back(), "ranking_rounds9_tick");
}

TEST_F(RankingScreen, RightStepsThroughTheDifficultiesAndLeftComesBack) {
  for (uint32_t at : {250u, 450u, 650u}) Press(at, vk::kRight);
  Press(850, vk::kLeft);
  Press(1050, vk::kDown);
  Press(1250, vk::kZ);
  Visit();
  const std::vector<ListShown> want = {{0, 1}, {1, 1}, {2, 1}, {1, 1}, {1, 3}};
  EXPECT_EQ(RedrawnLists(), want);
  ExpectTicksMatchTheirList();
}

TEST_F(RankingScreen, AHeldArrowStepsOncePerRedraw) {
  platform_.ScheduleKeyDown(300, vk::kDown);
  platform_.ScheduleKeyUp(1200, vk::kDown);
  Press(1400, vk::kZ);
  Visit();
  const std::vector<ListShown> want = {{0, 1}, {0, 3}, {0, 5}, {0, 7}, {0, 9}};
  EXPECT_EQ(RedrawnLists(), want);
  ASSERT_EQ(redraws_.size(), 5u);
  for (size_t i = 2; i < redraws_.size(); ++i) {
    const uint32_t gap = redraws_[i]->time - redraws_[i - 1]->time;
    EXPECT_GT(gap, 100u) << "each redraw is followed by its 100 ms pause";
    EXPECT_LE(gap, 125u);
  }
  ExpectTicksMatchTheirList();
}

TEST_F(RankingScreen, KeysAreTestedInTheirOrder) {
  // Down and Z held together: Down is tested first, so it steps on every redraw up to nine
  // and then keeps the loop polling; Z is seen only once Down is let go.
  game_->keys.Key_Down = 1;
  game_->keys.Key_Z = 1;
  platform_.ScheduleKeyUp(1500, vk::kDown);
  Visit();
  const std::vector<ListShown> want = {{0, 1}, {0, 3}, {0, 5}, {0, 7}, {0, 9}};
  EXPECT_EQ(RedrawnLists(), want);
  EXPECT_GE(platform_.clock().Now(), 1500u);
  EXPECT_LE(platform_.clock().Now(), 1530u);
}

TEST_F(RankingScreen, ZLeavesWithTheScreenClearedAndTheTimerOff) {
  Press(250, vk::kRight);
  Press(500, vk::kZ);
  Visit();
  EXPECT_FALSE(game_->loop.TimerEnabled());
  EXPECT_TRUE(SurfaceBlack(game_->display.GameScreen, 0, 0, 640, 480));
  // No more ticks: neither frames nor level steps while the game waits elsewhere.
  const int frames = platform_.FrameCount();
  const int16_t level = game_->rank_screen.BlinkLevel;
  game_->WaitMs(1000);
  EXPECT_EQ(platform_.FrameCount(), frames);
  EXPECT_EQ(game_->rank_screen.BlinkLevel, level);
}

TEST_F(RankingScreen, EnteringAgainStartsFromTheFirstListAndKeepsTheBlinkLevel) {
  Press(250, vk::kRight);
  Press(450, vk::kRight);
  Press(650, vk::kDown);
  Press(850, vk::kZ);
  Visit();
  ASSERT_EQ(RedrawnLists().back(), (ListShown{2, 3}));
  const int16_t level = game_->rank_screen.BlinkLevel;
  const int ticks_first = TicksToLevel(level);
  ASSERT_GT(ticks_first, 0);

  game_->keys = Keys{};
  Press(300, vk::kZ);
  Visit();
  EXPECT_EQ(RedrawnLists(), (std::vector<ListShown>{{0, 1}}));
  EXPECT_EQ(game_->rank_screen.RankShownMode, 0);
  EXPECT_EQ(game_->rank_screen.RankShownRounds, 1);
  ExpectTicksMatchTheirList();
  // The level went on from where the first visit left it.
  EXPECT_EQ(TicksToLevel(game_->rank_screen.BlinkLevel),
            ticks_first + static_cast<int>(ticks_.size()));
}

TEST_F(RankingScreen, TheBlinkLevelRunsItsWholeCycleOverTicks) {
  // Each tick: Alpha is the absolute level before it, and the level steps.
  std::vector<int> alphas;
  int16_t seen = game_->rank_screen.BlinkLevel;
  watch_ = [&](HeadlessPlatform&) {
    const int16_t now = game_->rank_screen.BlinkLevel;
    if (now == seen) return;
    EXPECT_EQ(game_->blend.Alpha, std::abs(seen));
    EXPECT_EQ(game_->blend.BlendArg, std::abs(seen) * 65536);
    alphas.push_back(game_->blend.Alpha);
    seen = now;
  };
  Press(9000, vk::kZ);
  RunShowRanking();
  ASSERT_GE(alphas.size(), 110u);
  for (size_t n = 0; n < alphas.size(); ++n) {
    const int i = static_cast<int>(n);
    const int want =
        i <= 25 ? 10 * i
                : ((i - 26) % 51 < 25 ? 245 - 10 * ((i - 26) % 51) : 5 + 10 * ((i - 26) % 51 - 25));
    ASSERT_EQ(alphas[n], want) << "tick " << n;
  }
}

TEST_F(RankingScreen, EscapeEndsTheProgramFromTheRankingScreen) {
  Press(300, vk::kEscape);
  bool ended = false;
  try {
    ShowRanking(*game_);
  } catch (const ProgramExit& e) {
    ended = true;
    EXPECT_EQ(e.status, 0);
  }
  EXPECT_TRUE(ended);
}

// A file edited by hand: values no game could write reach the screen clamped.
TEST_F(RankingScreen, HandEditedFileShowsClampedGlyphs) {
  std::vector<uint8_t> bytes(kRankingFileSize, 0);
  auto put32 = [&](size_t at, int32_t v) {
    for (int b = 0; b < 4; ++b)
      bytes[at + b] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b));
  };
  auto put64 = [&](size_t at, double v) {
    uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    for (int b = 0; b < 8; ++b) bytes[at + b] = static_cast<uint8_t>(u >> (8 * b));
  };
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    int32_t score;
    double moves;
    int32_t time;
  };
  // List (0, 1): its place p lies at element 15 p.
  const Row rows[9] = {{-5, std::nan(""), -1},
                       {1234567, inf, 2000000000},
                       {2147483647, -inf, -2147483647 - 1},
                       {-2147483647 - 1, 1e300, 599999},
                       {999999, 99999.0, 600000},
                       {7, 40000.0, 6000},
                       {123456, -1e300, 123456},
                       {1, 2.5, 1},
                       {0, 50.0, 5000}};
  for (int p = 0; p < 9; ++p) {
    put32(4 * 15 * p, rows[p].score);
    put64(540 + 8 * 15 * p, rows[p].moves);
    put32(1620 + 4 * 15 * p, rows[p].time);
  }
  const std::filesystem::path file = folder_ / "rvdat.dat";
  {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  RankingLoad load = LoadRankingFile(file);
  ASSERT_TRUE(load.ok) << load.error;
  Tables() = load.tables;

  Press(300, vk::kZ);
  Visit();
  ASSERT_FALSE(redraws_.empty());
  const CapturedFrame& f = *redraws_[0];
  SaveShot(f, "ranking_clamped");
  const char* want[9][3] = {
      {"0", "0", "00:00:00"},      {"999999", "99999", "99:59:99"}, {"999999", "0", "00:00:00"},
      {"0", "99999", "99:59:99"},  {"999999", "99999", "99:59:99"}, {"7", "40000", "01:00:00"},
      {"123456", "0", "20:34:56"}, {"1", "2", "00:00:01"},          {nullptr, nullptr, nullptr}};
  for (int d = 0; d < 9; ++d) {
    SCOPED_TRACE(d);
    const int y = 100 + 35 * d;
    if (want[d][0] == nullptr) {
      EXPECT_TRUE(FrameBlack(f, 75, y, 565, 27)) << "an empty place";
      continue;
    }
    const std::string score = want[d][0], moves = want[d][1], time = want[d][2];
    for (size_t i = 0; i < score.size(); ++i) {
      const int x = 220 + d / 2 - 25 * static_cast<int>(score.size() - 1 - i);
      EXPECT_TRUE(FrameShows(f, x, y, Other(), LargeDigitPiece(score[i] - '0'))) << score;
    }
    for (size_t i = 0; i < moves.size(); ++i) {
      const int x = 555 + d / 2 - 25 * static_cast<int>(moves.size() - 1 - i);
      EXPECT_TRUE(FrameShows(f, x, y, Other(), LargeDigitPiece(moves[i] - '0'))) << moves;
    }
    for (int k = 0; k < 8; ++k) {
      const bool sep = time[static_cast<size_t>(k)] == ':';
      EXPECT_TRUE(
          FrameShows(f, 280 + 20 * k + (sep ? 5 : 0), y, Other(),
                     sep ? kSeparatorPiece : SmallDigitPiece(time[static_cast<size_t>(k)] - '0')))
          << time << " glyph " << k;
    }
  }
}

TEST_F(RankingScreen, AListWithAFewEntries) {
  const int32_t scores[3] = {159562, 53280, 7};
  const double moves[3] = {16.0, 10.0, 4.0};
  const int32_t times[3] = {12000, 6000, 45678};
  for (int p = 0; p < 3; ++p) {
    const size_t i = static_cast<size_t>(1 + 3 * 1 + 15 * p);  // difficulty 1, three rounds
    Tables().RankScore[i] = scores[p];
    Tables().RankMoves[i] = moves[p];
    Tables().RankTime[i] = times[p];
  }
  Press(250, vk::kRight);
  Press(450, vk::kDown);
  Press(900, vk::kZ);
  Visit();
  ASSERT_EQ(RedrawnLists().back(), (ListShown{1, 3}));
  const CapturedFrame& f = *redraws_.back();
  SaveShot(f, "ranking_few_entries");
  // Place 2: 53280 in 10 moves, 01:00:00.
  const int y = 135;
  EXPECT_TRUE(FrameShows(f, 220, y, Other(), LargeDigitPiece(0)));
  EXPECT_TRUE(FrameShows(f, 120, y, Other(), LargeDigitPiece(5)));
  EXPECT_TRUE(FrameShows(f, 555, y, Other(), LargeDigitPiece(0)));
  EXPECT_TRUE(FrameShows(f, 530, y, Other(), LargeDigitPiece(1)));
  EXPECT_TRUE(FrameShows(f, 300, y, Other(), SmallDigitPiece(1)));
  // Place 4 is empty.
  EXPECT_TRUE(FrameBlack(f, 75, 205, 565, 27));
  ExpectTicksMatchTheirList();
  for (const CapturedFrame* t : ticks_) {
    if (t->time > f.time) {
      SaveShot(*t, "ranking_few_entries_tick");
      break;
    }
  }
}

}  // namespace
}  // namespace rv::test
