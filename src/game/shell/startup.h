#pragma once
// The game program from its entry to the title sequence, and the start-up failure exits.
//
//   Form_Initialize  refuses a second copy of the game and a running configuration dialog
//   Form_Load        required files, the running marker rvdat.cck, the window caption
//   Form_Activate    the window, the text face, pictures, music, ranking, configuration,
//                    then Title_menu, which never returns
//
// The program ends by ProgramExit: the regular shutdown (Game::Form_Unload) once the window
// is open, a message box and a plain exit before that.

#include <cstdint>
#include <functional>
#include <string>

namespace rv {

class Game;
class Platform;
class RandomSource;

// Exit status of every failure exit; the regular end is 0.
inline constexpr int kStartFailedStatus = 1;

inline constexpr const char* kRunningMarker = "rvdat.cck";

struct StartupOptions {
  // Applies the configured priority index to the process. Empty means the real thing;
  // tests record the index instead of changing the priority of the test runner.
  std::function<void(Game&, int16_t)> apply_priority;
};

// Runs the whole program and returns its exit status.
int RunGame(Platform& platform, RandomSource& rng, const StartupOptions& options = {});

// "Ravolin Ver 0.31": major and minor version of the build.
std::string WindowCaption();

void Form_Initialize(Game& game);
// Returns the caption for the window that Form_Activate opens.
std::string Form_Load(Game& game);
void Form_Activate(Game& game, const std::string& caption, const StartupOptions& options);

// Exits with the missing-file box when folder/name does not exist.
void FindFile(Game& game, const std::string& name);

}  // namespace rv
