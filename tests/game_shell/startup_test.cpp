// Start-up and its failure exits, run through the whole program on the headless platform.

#include "game/shell/startup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "game/game.h"
#include "game/ranking/ranking_file.h"
#include "shell_harness.h"
#include "storage/instance_lock.h"
#include "support/lock_holder.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;

const std::string kDuplicateText =
    "Ravolinを二重起動、または\nRavolinコンフィグと一緒に起動させることはできません！";
const std::string kMissingText = "Ravolinの起動に必要なファイルが足りません！";

// The required files in the order start-up looks for them.
const std::vector<std::string> kRequired = {
    "Music/ravolin.mp3", "Music/decision.mp3", "Picture/pic1.dat", "Picture/pic2.dat",
    "Picture/pic3.dat",  "Picture/pic4.dat",   "Picture/pic5.dat", "Picture/pic6.dat",
    "Picture/pic7.dat",  "Picture/pic8.dat",   "Picture/pic9.dat", "Picture/pic10.dat",
    "Wave/wave1.dat",    "Wave/wave2.dat",     "Wave/wave3.dat",   "Wave/wave4.dat",
    "mpng.so",           "rvdat.cfg"};

// Escape as soon as the menu is up: a start that got all the way through.
void QuitAtMenu(ShellRun& run) {
  run.When([&] { return run.MenuShown(); }, [&] { run.Press(vk::kEscape); });
}

void ExpectRefusedBeforeAnything(ShellRun& run, int status) {
  EXPECT_EQ(status, kStartFailedStatus);
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_TRUE(run.platform.WindowCaption().empty()) << "the window was opened";
  EXPECT_TRUE(run.AudioTexts().empty());
  EXPECT_TRUE(run.priorities.empty());
  EXPECT_EQ(run.platform.FrameCount(), 0);
}

TEST(ShellStartRefusal, AnotherProcessHoldingTheDialogLockGivesErrorOne) {
  ShellRun run;
  LockHolder dialog(run.folder / kConfigLockFile);
  ASSERT_TRUE(dialog.acquired());
  const int status = run.Run();
  ExpectRefusedBeforeAnything(run, status);
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_EQ(run.platform.Messages()[0].text, kDuplicateText);
  EXPECT_EQ(run.platform.Messages()[0].caption, "起動エラー１");
  EXPECT_EQ(run.platform.Messages()[0].icon, MessageIcon::kWarning);
  // The refused game gave its own lock back: a later start is not refused by it.
  dialog.Release();
  ShellRun again;
  QuitAtMenu(again);
  EXPECT_EQ(again.Run(), 0);
}

TEST(ShellStartRefusal, SecondCopyHoldingTheGameLockGivesErrorOne) {
  ShellRun run;
  LockHolder other_copy(run.folder / kGameLockFile);
  ASSERT_TRUE(other_copy.acquired());
  const int status = run.Run();
  ExpectRefusedBeforeAnything(run, status);
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_EQ(run.platform.Messages()[0].caption, "起動エラー１");
  // The lock file stays on disk after its holder ends; it alone blocks nothing.
  other_copy.Release();
  ASSERT_TRUE(fs::exists(run.folder / kGameLockFile));
  ShellRun again;
  fs::copy_file(run.folder / kGameLockFile, again.folder / kGameLockFile);
  QuitAtMenu(again);
  EXPECT_EQ(again.Run(), 0);
  EXPECT_TRUE(again.platform.Messages().empty());
}

TEST(ShellStartRefusal, TheGameHoldsItsLockWhileRunning) {
  ShellRun run;
  bool held_in_menu = false;
  run.When([&] { return run.MenuShown(); },
           [&] {
             held_in_menu = IsLockHeldElsewhere(run.folder / kGameLockFile);
             run.Press(vk::kEscape);
           });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_TRUE(held_in_menu);
  EXPECT_FALSE(IsLockHeldElsewhere(run.folder / kGameLockFile)) << "lock kept after the end";
}

// The real dialog, started in the same program folder, keeps the game out.
TEST(ShellStartRefusal, RunningConfigurationDialogGivesErrorOne) {
  const fs::path dialog_exe = fs::path(RV_DIST_DIR) / "rv_config";
  if (!fs::exists(dialog_exe)) GTEST_SKIP() << "rv_config is not built";
  ShellRun run;
  fs::copy_file(dialog_exe, run.folder / "rv_config");
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("RV_CONFIG_BOXES_TO_STDERR", "1", 1);
    const std::string exe = (run.folder / "rv_config").string();
    ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  bool dialog_up = false;
  for (int i = 0; i < 300 && !dialog_up; ++i) {
    dialog_up = IsLockHeldElsewhere(run.folder / kConfigLockFile);
    if (!dialog_up) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  int status = -1;
  if (dialog_up) status = run.Run();
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
  ASSERT_TRUE(dialog_up) << "the dialog never took its lock";
  ExpectRefusedBeforeAnything(run, status);
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_EQ(run.platform.Messages()[0].caption, "起動エラー１");
}

TEST(ShellRequiredFiles, EachMissingFileGivesOneErrorTwoAndNothingElse) {
  for (const std::string& name : kRequired) {
    SCOPED_TRACE(name);
    ShellRun run;
    fs::remove(run.folder / name);
    const int status = run.Run();
    ExpectRefusedBeforeAnything(run, status);
    ASSERT_EQ(run.platform.Messages().size(), 1u);
    EXPECT_EQ(run.platform.Messages()[0].text, kMissingText);
    EXPECT_EQ(run.platform.Messages()[0].caption, "起動エラー２");
    EXPECT_EQ(run.platform.Messages()[0].icon, MessageIcon::kWarning);
  }
}

TEST(ShellRequiredFiles, AFolderInPlaceOfAFileCountsAsMissing) {
  ShellRun run;
  fs::remove(run.folder / "Wave/wave3.dat");
  fs::create_directory(run.folder / "Wave/wave3.dat");
  ExpectRefusedBeforeAnything(run, run.Run());
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_EQ(run.platform.Messages()[0].caption, "起動エラー２");
}

TEST(ShellRunningMarker, StaleMarkerDoesNotStopTheStartAndQuitRemovesIt) {
  ShellRun run;
  WriteFile(run.folder / "rvdat.cck", {});
  bool marker_while_running = false;
  run.When([&] { return run.MenuShown(); },
           [&] {
             marker_while_running = fs::exists(run.folder / "rvdat.cck");
             run.Press(vk::kDown);
           });
  run.When([&] { return run.Now() > 20000; }, [&] { run.Press(vk::kDown); });
  run.When([&] { return run.Now() > 21000; }, [&] { run.Press(vk::kX); });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guard_fired);
  EXPECT_TRUE(marker_while_running);
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_TRUE(run.platform.Messages().empty());
  EXPECT_FALSE(run.platform.WindowOpen());
}

TEST(ShellRunningMarker, CreatedEmptyAndRemovedByEscapeFromAnotherWorkingFolder) {
  ShellRun run;
  TempFolder elsewhere;
  const fs::path before = fs::current_path();
  fs::current_path(elsewhere.path());
  uintmax_t marker_size = 1;
  run.When([&] { return run.MenuShown(); },
           [&] {
             marker_size = fs::file_size(run.folder / "rvdat.cck");
             run.Press(vk::kEscape);
           });
  const int status = run.Run();
  fs::current_path(before);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(marker_size, 0u);
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_FALSE(fs::exists(elsewhere.path() / "rvdat.cck"));
  EXPECT_TRUE(fs::is_empty(elsewhere.path()));
}

TEST(ShellRunningMarker, AMarkerThatCannotBeCreatedEndsTheStartWithAClearMessage) {
  ShellRun run;
  fs::create_directory(run.folder / "rvdat.cck");  // nothing can open it as a file
  const int status = run.Run();
  EXPECT_EQ(status, kStartFailedStatus);
  EXPECT_TRUE(run.platform.WindowCaption().empty()) << "the window was opened";
  EXPECT_TRUE(run.AudioTexts().empty());
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_NE(run.platform.Messages()[0].text.find("rvdat.cck"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(run.folder / "rvdat.cck")) << "the failure exit removed it";
}

// A program folder that cannot be written sends the data to the per-user folder; one that
// cannot be written either ends the start with a clear message.
TEST(ShellRunningMarker, AFolderThatCannotBeWrittenEndsTheStartWithAClearMessage) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  ShellRun run;
  TempFolder home;
  fs::create_directories(home.path() / "ravolin");
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string saved_value = saved != nullptr ? saved : "";
  ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
  const auto no_write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(run.folder, no_write, fs::perm_options::remove);
  fs::permissions(home.path() / "ravolin", no_write, fs::perm_options::remove);
  const int status = run.Run();
  fs::permissions(run.folder, fs::perms::owner_write, fs::perm_options::add);
  fs::permissions(home.path() / "ravolin", fs::perms::owner_write, fs::perm_options::add);
  if (saved != nullptr) {
    ::setenv("XDG_DATA_HOME", saved_value.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
  EXPECT_EQ(status, kStartFailedStatus);
  EXPECT_FALSE(run.platform.WindowOpen());
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_NE(run.platform.Messages()[0].text.find("ravolin"), std::string::npos);
}

TEST(ShellWindow, CaptionCarriesTheBuildVersion) {
  ShellRun run;
  QuitAtMenu(run);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.platform.WindowCaption(), RV_EXPECTED_CAPTION);
  EXPECT_EQ(WindowCaption(), RV_EXPECTED_CAPTION);
}

TEST(ShellWindow, DisplayFailureShowsItsBoxWithoutIconAndRemovesTheMarker) {
  ShellRun run;
  run.platform.SetWindowFails(true);
  const int status = run.Run();
  EXPECT_EQ(status, kStartFailedStatus);
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_EQ(run.platform.Messages()[0].text, "Ravolinの起動に失敗しました！");
  EXPECT_EQ(run.platform.Messages()[0].caption, "Ravolin");
  EXPECT_EQ(run.platform.Messages()[0].icon, MessageIcon::kNone);
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_TRUE(run.AudioTexts().empty());
  EXPECT_TRUE(run.priorities.empty());
  EXPECT_FALSE(IsLockHeldElsewhere(run.folder / kGameLockFile));
}

TEST(ShellLoadingOrder, PicturesMusicRankingThenConfigurationThenTitle) {
  ShellRun run;
  RankingTables tables;
  tables.RankScore[RankIndex(1, 5, 0)] = 4321;
  tables.RankMoves[RankIndex(1, 5, 0)] = 17.5;
  tables.RankTime[RankIndex(1, 5, 0)] = 9876;
  const auto bytes = EncodeRanking(tables);
  WriteFile(run.folder / "rvdat.dat", {bytes.begin(), bytes.end()});
  WriteFile(run.folder / "rvdat.cfg", {0x02, 0x00});

  bool window_open = false;
  bool pictures_loaded = false;
  bool ranking_loaded = false;
  int frames_before_title = -1;
  std::vector<std::string> audio_at_config;
  run.at_config = [&](Game& g) {
    window_open = run.platform.WindowOpen();
    pictures_loaded = !g.pictures.PicTitle.empty() && !g.pictures.PicChip.empty() &&
                      !g.pictures.PicCursor.empty() && !g.pictures.PicOther.empty();
    ranking_loaded = g.ranking == tables;
    frames_before_title = run.platform.FrameCount();
    audio_at_config = run.AudioTexts();
  };
  QuitAtMenu(run);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.priorities, std::vector<int16_t>{2});
  EXPECT_TRUE(window_open);
  EXPECT_TRUE(pictures_loaded);
  EXPECT_TRUE(ranking_loaded);
  EXPECT_EQ(frames_before_title, 0) << "the title began before the configuration was read";
  EXPECT_EQ(audio_at_config,
            (std::vector<std::string>{"music_open 0 ravolin.mp3", "music_open 1 decision.mp3"}));
}

TEST(ShellLoadingOrder, PriorityIndexIsReadFromTheFirstTwoBytesOnly) {
  ShellRun run;
  WriteFile(run.folder / "rvdat.cfg", {0x03, 0x00, 0xFF, 0xFF});
  QuitAtMenu(run);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(run.priorities, std::vector<int16_t>{3});
  EXPECT_EQ(ReadFile(run.folder / "rvdat.cfg"), (std::vector<uint8_t>{0x03, 0x00, 0xFF, 0xFF}));
}

TEST(ShellLoadingOrder, AnUnreadablePictureIsNamedAndStopsBeforeTheMusic) {
  ShellRun run;
  fs::remove(run.folder / "Picture/pic6.dat");
  WriteFile(run.folder / "Picture/pic6.dat", {'B', 'M', 0x10, 0x00});  // a torn BMP
  const int status = run.Run();
  EXPECT_EQ(status, kStartFailedStatus);
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_NE(run.platform.Messages()[0].text.find("pic6"), std::string::npos);
  EXPECT_LT(run.Find("music_open 0 ravolin.mp3"), 0) << "the music was opened first";
  EXPECT_TRUE(run.priorities.empty());
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_FALSE(run.platform.WindowOpen());
}

TEST(ShellLoadingOrder, AnUnreadableRankingFileEndsTheStartAndStaysUntouched) {
  ShellRun run;
  fs::create_directory(run.folder / "rvdat.dat");
  WriteFile(run.folder / "rvdat.dat" / "keep", {1, 2, 3});
  const int status = run.Run();
  EXPECT_EQ(status, kStartFailedStatus);
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_NE(run.platform.Messages()[0].text.find("rvdat.dat"), std::string::npos);
  EXPECT_EQ(run.platform.Messages()[0].icon, MessageIcon::kWarning);
  EXPECT_TRUE(run.priorities.empty()) << "the configuration is read after the ranking";
  EXPECT_GE(run.Find("music_open 1 decision.mp3"), 0) << "the music comes before the ranking";
  EXPECT_TRUE(fs::is_directory(run.folder / "rvdat.dat"));
  EXPECT_EQ(ReadFile(run.folder / "rvdat.dat" / "keep"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_EQ(run.platform.FrameCount(), 0);
}

TEST(ShellLoadingOrder, AMissingRankingFileStartsWithEmptyListsAndCreatesIt) {
  ShellRun run;
  RankingTables seen;
  run.at_config = [&](Game& g) { seen = g.ranking; };
  seen.RankScore[0] = 1;
  QuitAtMenu(run);
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(seen, RankingTables{});
  EXPECT_TRUE(fs::exists(run.folder / "rvdat.dat"));
}

// A FIFO in place of any stored file ends the start with a box naming it, at once: a FIFO
// opened for reading would wait for a writer that never comes, deaf to every signal. A
// marker that another copy may own is never removed by the refused start.
TEST(ShellStoredFiles, AFifoInPlaceOfAStoredFileIsRefusedByNameWithoutWaiting) {
  struct Case {
    const char* name;
    bool window_opens;  // refused after the window, through the regular shutdown
  };
  const Case cases[] = {{kGameLockFile, false},
                        {kConfigLockFile, false},
                        {"rvdat.cck", false},
                        {"rvdat.dat", true},
                        {"rvdat.cfg", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShellRun run;
    fs::remove(run.folder / c.name);
    ASSERT_EQ(::mkfifo((run.folder / c.name).c_str(), 0644), 0);
    const bool marker_is_fifo = std::string(c.name) == "rvdat.cck";
    if (!marker_is_fifo) WriteFile(run.folder / "rvdat.cck", {});  // another copy's, maybe
    ::alarm(20);
    const int status = run.Run();
    ::alarm(0);
    EXPECT_EQ(status, kStartFailedStatus);
    ASSERT_EQ(run.platform.Messages().size(), 1u);
    EXPECT_NE(run.platform.Messages()[0].text.find(c.name), std::string::npos)
        << run.platform.Messages()[0].text;
    EXPECT_NE(run.platform.Messages()[0].text.find("通常のファイルではありません"),
              std::string::npos);
    EXPECT_EQ(run.platform.WindowCaption().empty(), !c.window_opens);
    EXPECT_TRUE(run.priorities.empty());
    EXPECT_TRUE(fs::is_fifo(run.folder / c.name));
    if (!marker_is_fifo) {
      // Before the window the marker may be another copy's and stays; after it, it is ours.
      EXPECT_EQ(fs::exists(run.folder / "rvdat.cck"), !c.window_opens);
    }
  }
}

}  // namespace
}  // namespace rv::test
