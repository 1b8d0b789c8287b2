#pragma once
// The game program from its entry to the title sequence, and the start-up failure exits.
//
//   Form_Initialize  refuses a second copy of the game and a running configuration dialog
//   Form_Load        required files, the running marker rvdat.cck, the window caption
//   (the window)     opened before the Game and its surfaces are made
//   Form_Activate    the text face, pictures, music, ranking, configuration
//   Title_menu       the first screen, which never returns
//
// StartGame runs the steps up to Title_menu for the window and the headless game alike.
//
// The program ends by ProgramExit: the regular shutdown (Game::Form_Unload) once the window
// is open, a message box and a plain exit before that.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "game/gfx/picture_rects.h"
#include "lang/language.h"
#include "storage/instance_lock.h"

namespace rv {

class Game;
class Platform;
class RandomSource;

// Exit status of every failure exit; the regular end is 0.
inline constexpr int kStartFailedStatus = 1;

// The pictures start-up loads, in its order; the match background is the match's own.
inline constexpr rects::Picture kStartupPictures[] = {
    rects::Picture::kTitle,   rects::Picture::kChip,   rects::Picture::kLogo,
    rects::Picture::kMenu,    rects::Picture::kBack,   rects::Picture::kOther,
    rects::Picture::kCounter, rects::Picture::kWindow, rects::Picture::kCursor};

struct StartupOptions {
  // Applies the configured priority index to the process. Empty means the real thing;
  // tests record the index instead of changing the priority of the test runner.
  std::function<void(Game&, int16_t)> apply_priority;
};

// What start-up holds before the Game exists.
struct StartContext {
  Platform& platform;
  std::filesystem::path folder;      // the program folder
  std::optional<InstanceLock> lock;  // the game's own lock, handed to the Game
  bool window_open = false;
  std::filesystem::path data;  // the player's data folder (UseDataFolder)
  const Language& language;    // the boxes' words, and whose pictures start-up requires
};

// A started game, ready for its first screen; without one the start ended (its box shown,
// the marker gone where it was ours) with `status`.
struct GameStart {
  std::unique_ptr<Game> game;
  int status = 0;
};
GameStart StartGame(Platform& platform, RandomSource& rng, const Language& language,
                    const StartupOptions& options = {});

// Runs screens of a started game. Every way out of them (the regular shutdown, an error box,
// an unexpected failure) gives the exit status; screens that return give nothing.
std::optional<int> RunScreens(Game& game, const std::function<void()>& screens);

// Runs the whole program in `language` and returns its exit status.
int RunGame(Platform& platform, RandomSource& rng, const Language& language,
            const StartupOptions& options = {});

// "Ravolin Ver 0.31": major and minor version of the build.
std::string WindowCaption();

// Decides the player's data folder (the program folder, or the per-user one of an
// installed game) before anything looks for the marker or the locks.
void UseDataFolder(StartContext& start);
void Form_Initialize(StartContext& start);
// Returns the caption of the window.
std::string Form_Load(StartContext& start);
// Opens the window, or takes the display-failure exit.
void OpenGameWindow(StartContext& start, const std::string& caption);
// Everything after the window: the face, pictures, music, ranking, configuration.
void Form_Activate(Game& game, const StartupOptions& options);

// Exits with the missing-file box when name does not exist: the player's data files are
// looked for in the data folder, the rest in the program folder.
void FindFile(StartContext& start, const std::string& name);

}  // namespace rv
