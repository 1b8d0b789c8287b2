// Start-up in an installed program folder: the player's data goes to the per-user folder,
// the program folder is only read.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <string>

#include "app/rv_sim/match_driver/player_bot.h"
#include "config/data_folder.h"
#include "config/instance_lock.h"
#include "game/game.h"
#include "game/shell/startup.h"
#include "shell_harness.h"
#include "support/lock_holder.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;

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

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// What one start saw while the menu was up, and what it left.
struct Observed {
  bool marker = false;
  bool lock_held = false;
};

TEST(ShellDataFolder, TheDataGoesWhereTheProgramFolderSaysAndNowhereElse) {
  const struct {
    const char* what;
    bool installed;
    bool config_in_program;
    const char* data;  // "program" or "xdg"
  } cases[] = {
      {"portable folder", false, true, "program"},
      {"installed, fresh", true, false, "xdg"},
      {"installed with a setting beside the programs", true, true, "xdg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder home;
    const ScopedEnv xdg("XDG_DATA_HOME", (home.path() / "xdg").string());
    ShellRun run;
    if (c.installed) WriteFile(run.folder / kInstalledMarkFile, {});
    if (!c.config_in_program) fs::remove(run.folder / "rvdat.cfg");
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

// A whole match of the installed game, started from the menu and played by the bot: its
// result is ranked in the per-user folder.
TEST(ShellDataFolder, AnInstalledGamesMatchRanksInThePerUserFolder) {
  TempFolder home;
  const ScopedEnv xdg("XDG_DATA_HOME", (home.path() / "xdg").string());
  ShellRun run;
  run.guard_ms = 600000;
  WriteFile(run.folder / kInstalledMarkFile, {});
  fs::remove(run.folder / "rvdat.cfg");
  const auto program_before = NamesIn(run.folder);
  const fs::path data = home.path() / "xdg" / kDataFolderName;

  std::optional<sim::PlayerBot> bot;
  run.at_config = [&](Game& game) { bot.emplace(game, sim::PlayerKind::kGreedy, 3); };
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
