// Keys inside a match and the ways out of it: the held decide key at the roulette, held
// arrows, Escape during the CPU's walk, and both error boxes.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "game/ranking/ranking_file.h"
#include "match_harness.h"
#include "platform/headless/headless_audio.h"
#include "storage/atomic_file.h"
#include "support/frame_compare.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;

std::vector<char> ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The roulette window (built at the top-left of PicMemory, shown at (215, 150)) with its
// cursor on the CPU's line and none on the player's.
bool RouletteShowsCpu(const CapturedFrame& frame, const Surface& memory) {
  return SameArea(frame, 230, 198, memory, 15, 48, 16, 15) &&
         !SameArea(frame, 230, 228, memory, 15, 78, 16, 15);
}

TEST(MatchKeys, XHeldAtTheRouletteGivesTheFirstMoveToTheCpu) {
  MatchHarness h(5);
  h.platform().ScheduleKeyDown(0, vk::kX);
  int16_t first_mover = 0;
  h.UseDriver([&](HeadlessPlatform& p) {
    if (first_mover == 0 && h.InPlay()) {
      first_mover = h.game().match.FirstMover;
      p.PressKey(vk::kEscape);
    }
  });
  EXPECT_EQ(h.Play(1, 3), 0);
  EXPECT_EQ(first_mover, 2);
}

// Key_X is never cleared by the match: while it is held, each of the player's turns places
// a block at once, where the CPU's hand-over left the cursor.
TEST(MatchKeys, XHeldPlacesABlockTheMomentEachPlayersTurnBegins) {
  MatchHarness h(12);
  h.platform().ScheduleKeyDown(0, vk::kX);
  uint32_t turn_began = 0;
  std::vector<uint32_t> delays;
  int16_t first_cpu_column = -1;
  h.UseDriver([&](HeadlessPlatform& p) {
    const MatchState& m = h.game().match;
    if (!h.InPlay()) return;
    const int player_blocks = CountBlocks(m.Board, kPlayer);
    if (first_cpu_column < 0 && CountBlocks(m.Board, kCpu) == 1) first_cpu_column = m.EnemyX;
    if (m.CharaTurn == -1 && turn_began == 0 && player_blocks == static_cast<int>(delays.size())) {
      turn_began = p.Now();
    }
    if (player_blocks > static_cast<int>(delays.size())) {
      delays.push_back(p.Now() - turn_began);
      turn_began = 0;
      if (delays.size() == 1) {
        // The first block lies on the CPU's opening block, under the cursor put above it.
        EXPECT_EQ(m.Board.At(first_cpu_column, 27), kPlayer);
      }
      if (delays.size() == 3) p.PressKey(vk::kEscape);
    }
  });
  EXPECT_EQ(h.Play(0, 3), 0);
  ASSERT_EQ(delays.size(), 3u);
  for (uint32_t d : delays) EXPECT_LE(d, 3u);
}

TEST(MatchKeys, RouletteStoppedOnThePlayersLineGivesThePlayerTheFirstMove) {
  MatchHarness h(6);
  bool pressed = false;
  int16_t first_mover = 0;
  h.UseDriver([&](HeadlessPlatform& p) {
    // The pass after one that showed the CPU shows the player.
    if (!pressed && h.game().match.RoundNo == 1 &&
        RouletteShowsCpu(p.LastFrame(), h.game().pictures.PicMemory)) {
      p.ScheduleKeyPress(p.Now(), vk::kX, 30);
      pressed = true;
    }
    if (first_mover == 0 && h.InPlay()) {
      first_mover = h.game().match.FirstMover;
      p.PressKey(vk::kEscape);
    }
  });
  EXPECT_EQ(h.Play(0, 1), 0);
  EXPECT_TRUE(pressed);
  EXPECT_EQ(first_mover, 1);
}

// A held arrow steps once per key-down: the cursor rule clears the flag after each step,
// and only the keyboard's next auto-repeat key-down sets it again.
TEST(MatchKeys, HeldArrowMovesOneColumnPerKeyDown) {
  MatchHarness h(7);
  enum { kRoulette, kFirstDown, kRepeat, kDone } phase = kRoulette;
  uint32_t since = 0;
  std::vector<int16_t> columns;  // CharaX before, after one key-down, after the repeat
  h.UseDriver([&](HeadlessPlatform& p) {
    const MatchState& m = h.game().match;
    if (phase == kRoulette && m.RoundNo == 1 &&
        RouletteShowsCpu(p.LastFrame(), h.game().pictures.PicMemory)) {
      p.ScheduleKeyPress(p.Now(), vk::kX, 30);
      phase = kFirstDown;
      return;
    }
    if (!h.InPlay() || m.CharaTurn != -1) return;
    if (phase == kFirstDown && since == 0) {
      columns.push_back(m.CharaX);
      p.PressKey(vk::kLeft);  // held from here on
      since = p.Now();
    } else if (phase == kFirstDown && p.Now() - since >= 500) {
      columns.push_back(m.CharaX);
      p.PressKey(vk::kLeft);  // the auto-repeat
      since = p.Now();
      phase = kRepeat;
    } else if (phase == kRepeat && p.Now() - since >= 500) {
      columns.push_back(m.CharaX);
      p.ReleaseKey(vk::kLeft);
      p.PressKey(vk::kEscape);
      phase = kDone;
    }
  });
  EXPECT_EQ(h.Play(0, 1), 0);
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[0], 19);
  EXPECT_EQ(columns[1], 18);
  EXPECT_EQ(columns[2], 17);
}

TEST(MatchExit, EscapeDuringTheCpuWalkEndsThroughTheShutdown) {
  MatchHarness h(8);
  PlayerBot bot(h.game(), PlayerKind::kRandom, 8);
  bool escaped = false;
  h.UseDriver([&](HeadlessPlatform& p) {
    const Game& g = h.game();
    const MatchState& m = g.match;
    const bool walking =
        h.InPlay() && m.CharaTurn == 0 && g.display.EnemyCursor.Visible() &&
        (g.display.EnemyCursor.X() != 16 * m.EnemyX || g.display.EnemyCursor.Y() != 16 * m.EnemyY);
    if (walking && !escaped && m.MoveRound > 2) {
      p.PressKey(vk::kEscape);
      escaped = true;
      return;
    }
    bot.Drive(p);
  });
  EXPECT_EQ(h.Play(2, 5), 0);
  EXPECT_TRUE(escaped);
  EXPECT_FALSE(fs::exists(h.folder() / "rvdat.cck"));
  EXPECT_TRUE(h.platform().Messages().empty());
  auto* audio = dynamic_cast<HeadlessAudio*>(&h.platform().audio());
  ASSERT_NE(audio, nullptr);
  EXPECT_FALSE(audio->MusicPlaying(0));
  EXPECT_FALSE(audio->EffectPlaying());
  // Nothing of the match runs after the shutdown: the ranking file was never written.
  EXPECT_EQ(fs::file_size(h.folder() / "rvdat.dat"), 0u);
}

TEST(MatchExit, UnreadableMatchBackgroundEndsWithTheMatchErrorBox) {
  MatchHarness h(9, [](const fs::path& folder) {
    // A folder of its own for the pictures, with a broken background.
    const fs::path linked = fs::read_symlink(folder / "Picture");
    fs::remove(folder / "Picture");
    fs::copy(linked, folder / "Picture");
    std::ofstream(folder / "Picture" / "pic1.dat", std::ios::binary | std::ios::trunc)
        << "not a picture";
  });
  EXPECT_EQ(h.Play(0, 1), 1);
  ASSERT_EQ(h.platform().Messages().size(), 1u);
  EXPECT_EQ(h.platform().Messages()[0].text, "配列エラーが発生しました！");
  EXPECT_EQ(h.platform().Messages()[0].caption, "エラー");
  EXPECT_EQ(h.platform().Messages()[0].icon, MessageIcon::kWarning);
  EXPECT_FALSE(fs::exists(h.folder() / "rvdat.cck"));
}

// A ranking file that cannot be rewritten fails the score, which has its own error box;
// the results are never shown.
TEST(MatchExit, RankingFileThatCannotBeWrittenEndsWithTheScoreErrorBox) {
  bool seen_win = false;
  for (uint64_t seed = 1; seed <= 20 && !seen_win; ++seed) {
    MatchHarness h(seed);
    h.UseBot(PlayerKind::kGreedy, seed);
    fs::remove(h.folder() / "rvdat.dat");
    fs::create_directory(h.folder() / "rvdat.dat");
    std::ofstream(h.folder() / "rvdat.dat" / "keep") << "x";
    const std::optional<int> status = h.Play(0, 1);
    ASSERT_EQ(h.round_ends.size(), 1u);
    if (h.round_ends[0].winner != kPlayer) {
      EXPECT_EQ(status, std::nullopt);  // score 0 is not ranked, nothing is written
      continue;
    }
    seen_win = true;
    EXPECT_EQ(status, 1);
    ASSERT_EQ(h.platform().Messages().size(), 1u);
    EXPECT_EQ(h.platform().Messages()[0].text, "エラー発生！");
    EXPECT_EQ(h.platform().Messages()[0].caption, "エラー２");
    EXPECT_EQ(h.platform().Messages()[0].icon, MessageIcon::kWarning);
    EXPECT_FALSE(fs::exists(h.folder() / "rvdat.cck"));
    EXPECT_TRUE(fs::is_directory(h.folder() / "rvdat.dat"));
  }
  EXPECT_TRUE(seen_win) << "no seed gave the player a round";
}

// The disk fills while the result is written (a file size limit in a child process makes
// the write fail part-way): the same score error box, and the old ranking stays whole.
TEST(MatchExit, AFullDiskAtTheRankingWriteShowsTheScoreErrorBoxAndKeepsTheOldRanking) {
  enum ChildResult { kBoxShown = 0, kNoWin = 3, kWrongEnd = 4, kNoLimit = 9 };
  RankingTables old;
  old.RankScore[kRankEntries - 1] = 77;
  bool seen_win = false;
  for (uint64_t seed = 1; seed <= 20 && !seen_win; ++seed) {
    MatchHarness h(seed, [&](const fs::path& folder) {
      ASSERT_TRUE(WriteRankingFile(folder / "rvdat.dat", old).ok);
    });
    h.UseBot(PlayerKind::kGreedy, seed);
    const std::vector<char> before = ReadAll(h.folder() / "rvdat.dat");
    const pid_t child = ::fork();
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{1000, 1000};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(kNoLimit);
      const std::optional<int> status = h.Play(0, 1);
      if (h.round_ends.size() == 1 && h.round_ends[0].winner != kPlayer) ::_exit(kNoWin);
      const auto& messages = h.platform().Messages();
      const bool box = status == 1 && messages.size() == 1 && messages[0].text == "エラー発生！" &&
                       messages[0].caption == "エラー２";
      ::_exit(box ? kBoxShown : kWrongEnd);
    }
    int wait_status = 0;
    ASSERT_EQ(::waitpid(child, &wait_status, 0), child);
    ASSERT_TRUE(WIFEXITED(wait_status));
    const int result = WEXITSTATUS(wait_status);
    EXPECT_EQ(ReadAll(h.folder() / "rvdat.dat"), before);
    if (result == kNoWin) continue;
    seen_win = true;
    EXPECT_EQ(result, kBoxShown) << "4: no score error box, 9: no file size limit";
    for (const auto& entry : fs::directory_iterator(h.folder())) {
      EXPECT_FALSE(IsTemporaryNameOf(h.folder() / "rvdat.dat", entry.path().filename().string()))
          << entry.path();
    }
  }
  EXPECT_TRUE(seen_win) << "no seed gave the player a round";
}

}  // namespace
}  // namespace rv::test
