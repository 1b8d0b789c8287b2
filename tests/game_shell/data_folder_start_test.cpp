// Start-up in an installed program folder: the player's data goes to the per-user folder,
// the program folder is only read.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "game/game.h"
#include "game/headless/player_bot.h"
#include "game/shell/startup.h"
#include "shell_harness.h"
#include "storage/data_folder.h"
#include "storage/instance_lock.h"
#include "support/as_user.h"
#include "support/file_bytes.h"
#include "support/lock_holder.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;
using test::NamesIn;

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    Apply(value);
  }
  ~ScopedEnv() { Apply(saved_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> saved_;
};

// What one start saw while the menu was up, and what it left.
struct Observed {
  bool marker = false;
  bool lock_held = false;
};

TEST(ShellDataFolder, TheDataGoesWhereTheProgramFolderSaysAndNowhereElse) {
  const struct {
    const char* what;
    bool installed;
    const char* data;  // "program" or "xdg"
  } cases[] = {
      {"portable folder", false, "program"},
      {"installed, fresh: the setting the install ships is copied", true, "xdg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder home;
    const ScopedEnv xdg("XDG_DATA_HOME", (home.path() / "xdg").string());
    ShellRun run;
    if (c.installed) WriteFile(run.folder / kInstalledMarkFile, {});
    const auto program_before = NamesIn(run.folder);
    const fs::path data =
        std::string(c.data) == "xdg" ? home.path() / "xdg" / kDataFolderName : run.folder;

    Observed seen;
    run.When([&] { return run.MenuShown(); },
             [&] {
               seen.marker = fs::exists(data / "rvdat.cck");
               seen.lock_held = IsLockHeldElsewhere(data / kGameLockFile);
               run.Press(vk::kEscape);
             });
    EXPECT_EQ(run.Run(), 0);
    EXPECT_TRUE(run.platform.Messages().empty());
    EXPECT_TRUE(seen.marker);
    EXPECT_TRUE(seen.lock_held);
    EXPECT_FALSE(fs::exists(data / "rvdat.cck"));
    EXPECT_TRUE(fs::exists(data / "rvdat.dat"));
    ASSERT_EQ(run.priorities.size(), 1u);
    EXPECT_EQ(run.priorities[0], 1);
    if (c.installed) {
      EXPECT_EQ(NamesIn(run.folder), program_before) << "the installed folder was written";
      EXPECT_EQ(ReadFile(data / "rvdat.cfg"), (std::vector<uint8_t>{0x01, 0x00}));
    } else {
      EXPECT_FALSE(fs::exists(home.path() / "xdg")) << "a portable game made a home folder";
    }
  }
}

// Without a setting anywhere an installed game refuses as a plain program folder does: the
// missing-file box, no marker, and nothing seeded into the per-user folder, not even an old
// ranking lying beside the programs.
TEST(ShellDataFolder, WithoutAnySettingTheGameRefusesInstalledOrNot) {
  for (const bool installed : {false, true}) {
    SCOPED_TRACE(installed ? "installed" : "plain program folder");
    TempFolder home;
    const ScopedEnv xdg("XDG_DATA_HOME", (home.path() / "xdg").string());
    ShellRun run;
    if (installed) WriteFile(run.folder / kInstalledMarkFile, {});
    fs::remove(run.folder / "rvdat.cfg");
    WriteFile(run.folder / "rvdat.dat", std::vector<uint8_t>(2160, 0x11));
    const fs::path data = installed ? home.path() / "xdg" / kDataFolderName : run.folder;
    EXPECT_EQ(run.Run(), kStartFailedStatus);
    ASSERT_EQ(run.platform.Messages().size(), 1u);
    EXPECT_EQ(run.platform.Messages()[0].caption, "起動エラー２");
    EXPECT_EQ(run.platform.Messages()[0].text, "Ravolinの起動に必要なファイルが足りません！");
    EXPECT_TRUE(run.platform.WindowCaption().empty());
    EXPECT_TRUE(run.priorities.empty());
    for (const char* name : {"rvdat.cfg", "rvdat.cck"}) {
      EXPECT_FALSE(fs::exists(fs::symlink_status(data / name))) << name;
    }
    if (installed) {
      EXPECT_FALSE(fs::exists(data / "rvdat.dat")) << "the old ranking was seeded";
    }
  }
}

// A whole match of the installed game, started from the menu and played by the bot: its
// result is ranked in the per-user folder.
TEST(ShellDataFolder, AnInstalledGamesMatchRanksInThePerUserFolder) {
  TempFolder home;
  const ScopedEnv xdg("XDG_DATA_HOME", (home.path() / "xdg").string());
  ShellRun run;
  run.guard_ms = 600000;
  WriteFile(run.folder / kInstalledMarkFile, {});
  const auto program_before = NamesIn(run.folder);
  const fs::path data = home.path() / "xdg" / kDataFolderName;

  std::optional<PlayerBot> bot;
  run.at_config = [&](Game& game) { bot.emplace(game, PlayerKind::kGreedy, 3); };
  // Game start, then the start row of the selection (weakest computer, one round).
  run.When([&] { return run.MenuShown(); }, [&] { run.Press(vk::kX); });
  run.AfterMs(3000, [&] { run.Press(vk::kDown); });
  run.AfterMs(300, [&] { run.Press(vk::kDown); });
  run.AfterMs(300, [&] { run.Press(vk::kX); });
  run.When(
      [&] {
        bot->Drive(run.platform);
        return run.MenuShown(2);
      },
      [&] { run.Press(vk::kEscape); });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guard_fired);
  EXPECT_TRUE(run.platform.Messages().empty());
  ASSERT_NE(run.game, nullptr);
  EXPECT_EQ(run.game->totals.RankIn, 1) << "the bot did not win: choose another seed";
  EXPECT_EQ(fs::file_size(data / "rvdat.dat"), 2160u);
  EXPECT_EQ(NamesIn(run.folder), program_before);
}

TEST(ShellDataFolder, TheDialogsLockInThePerUserFolderKeepsTheInstalledGameOut) {
  ::umask(022);  // the folders made here are a player's usual ones, closed to others
  TempFolder home;
  const ScopedEnv xdg("XDG_DATA_HOME", (home.path() / "xdg").string());
  ShellRun run;
  WriteFile(run.folder / kInstalledMarkFile, {});
  fs::create_directories(home.path() / "xdg" / kDataFolderName);
  LockHolder dialog(home.path() / "xdg" / kDataFolderName / kConfigLockFile);
  ASSERT_TRUE(dialog.acquired());
  EXPECT_EQ(run.Run(), kStartFailedStatus);
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_EQ(run.platform.Messages()[0].caption, "起動エラー１");
  EXPECT_TRUE(run.platform.WindowCaption().empty());
}

// A second user plants what the installed game would use: the per-user folder with links in
// it, where they may write XDG_DATA_HOME, or XDG_DATA_HOME itself as a link in a sticky folder,
// leading to a folder of the player's. The game refuses by name before any lock, marker or
// setting is touched.
TEST(ShellDataFolder, AnInstalledGameRefusesAFolderAnotherUserCanChange) {
  if (::geteuid() != 0) GTEST_SKIP() << kNeedsRootMessage;
  const struct {
    const char* what;
    const char* xdg;  // XDG_DATA_HOME, relative to the player's folder `home`
    // Run as the other user.
    std::function<bool(const fs::path& home, const fs::path& xdg_home)> plant;
    const char* reason;
  } cases[] = {
      {"links in a folder planted where others may write", "open",
       [](const fs::path& home, const fs::path& xdg_home) {
         const fs::path data = xdg_home / kDataFolderName;
         const fs::path elsewhere = home / "elsewhere";
         return ::mkdir(data.c_str(), 0777) == 0 && ::chmod(data.c_str(), 0777) == 0 &&
                ::symlink((home / "secret").c_str(), (data / "rvdat.cfg").c_str()) == 0 &&
                ::symlink((elsewhere / "lock").c_str(), (data / kGameLockFile).c_str()) == 0 &&
                ::symlink((elsewhere / "marker").c_str(), (data / "rvdat.cck").c_str()) == 0;
       },
       "このフォルダにはほかのユーザーも書き込めます。"},
      {"a link in a sticky folder, to a folder of the player's", "sticky/d",
       [](const fs::path& home, const fs::path& xdg_home) {
         return ::symlink((home / "elsewhere").c_str(), xdg_home.c_str()) == 0;
       },
       "このフォルダはほかのユーザーのシンボリックリンクです。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder home;
    ::chmod(home.path().c_str(), 0755);
    fs::create_directory(home.path() / "open");
    ::chmod((home.path() / "open").c_str(), 0777);
    fs::create_directory(home.path() / "sticky");
    ::chmod((home.path() / "sticky").c_str(), 01777);
    fs::create_directory(home.path() / "elsewhere");
    WriteFile(home.path() / "secret", {'S', 'E', 'C', 'R', 'E', 'T'});
    ::chmod((home.path() / "secret").c_str(), 0600);
    const fs::path xdg_home = home.path() / c.xdg;
    ASSERT_TRUE(RunAsUser(kOtherUser, [&] { return c.plant(home.path(), xdg_home); }));
    const ScopedEnv xdg("XDG_DATA_HOME", xdg_home.string());
    ShellRun run;
    WriteFile(run.folder / kInstalledMarkFile, {});
    EXPECT_EQ(run.Run(), kStartFailedStatus);
    EXPECT_TRUE(run.platform.WindowCaption().empty());
    ASSERT_EQ(run.platform.Messages().size(), 1u);
    EXPECT_EQ(run.platform.Messages()[0].text,
              "Ravolinのデータフォルダが安全ではありません！\n" + xdg_home.string() + "\n" +
                  c.reason +
                  "\n所有者と書き込みの権限を直すか、XDG_DATA_HOMEで別のフォルダを指定してくだ"
                  "さい。");
    EXPECT_EQ(ReadFile(home.path() / "secret"),
              (std::vector<uint8_t>{'S', 'E', 'C', 'R', 'E', 'T'}));
    EXPECT_TRUE(fs::is_empty(home.path() / "elsewhere"));
  }
}

// The marker is never made where a link in its place points, in any data folder.
TEST(ShellDataFolder, ALinkInPlaceOfTheMarkerIsRefusedNotFollowed) {
  TempFolder elsewhere;
  ShellRun run;
  fs::create_symlink(elsewhere.path() / "marker", run.folder / "rvdat.cck");
  EXPECT_EQ(run.Run(), kStartFailedStatus);
  EXPECT_TRUE(run.platform.WindowCaption().empty());
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_EQ(run.platform.Messages()[0].text.rfind("実行中の印のファイルを作れません！\n", 0), 0u);
  EXPECT_FALSE(fs::exists(elsewhere.path() / "marker"));
  EXPECT_TRUE(fs::is_symlink(run.folder / "rvdat.cck"));
}

TEST(ShellDataFolder, AFolderThatCannotBeMadeEndsTheStartBeforeTheWindow) {
  TempFolder home;
  WriteFile(home.path() / "file", {});
  const ScopedEnv xdg("XDG_DATA_HOME", (home.path() / "file/xdg").string());
  ShellRun run;
  WriteFile(run.folder / kInstalledMarkFile, {});
  EXPECT_EQ(run.Run(), kStartFailedStatus);
  EXPECT_TRUE(run.platform.WindowCaption().empty());
  EXPECT_TRUE(run.priorities.empty());
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_NE(run.platform.Messages()[0].text.find("データフォルダ"), std::string::npos);
  EXPECT_NE(run.platform.Messages()[0].text.find((home.path() / "file").string()),
            std::string::npos);
}

}  // namespace
}  // namespace rv::test
