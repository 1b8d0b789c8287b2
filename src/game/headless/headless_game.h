#pragma once
// The game without a window: the headless platform, the game's own start-up up to the title,
// and matches started as the menu starts them. Optionally every presented frame is saved as
// a PNG.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "game/cpu/random_source.h"
#include "game/game.h"
#include "lang/language.h"
#include "platform/headless/headless_platform.h"

namespace rv {

// The headless platform, saving each presented frame into a folder when one is set.
class FrameSavingPlatform : public HeadlessPlatform {
 public:
  void Present(FrameView frame) override;
  void SaveFramesTo(std::filesystem::path folder) { frames_folder_ = std::move(folder); }
  int SavedFrames() const { return saved_; }
  // Called with every presented frame (tests keep the few they need).
  std::function<void(const CapturedFrame&)> on_present;

 private:
  std::filesystem::path frames_folder_;
  int saved_ = 0;
};

class HeadlessGame {
 public:
  // The game runs from `program_folder` (see TempProgramFolder) and speaks `language`, as
  // --lang makes it for the window.
  HeadlessGame(const std::filesystem::path& program_folder, uint64_t cpu_seed, Language language);
  HeadlessGame(const HeadlessGame&) = delete;
  HeadlessGame& operator=(const HeadlessGame&) = delete;

  // The game's start-up: the data folder, the locks, the required files, the marker, the
  // face, the pictures, the music, the ranking and the setting (whose priority is left
  // alone). Returns an empty string, or what the box that ended the start said.
  std::string Prepare();

  FrameSavingPlatform platform;
  SeededRandom rng;
  std::unique_ptr<Game> game;  // made by Prepare

 private:
  Language language_;
};

// The match as the menu starts it (GameMode and RoundCount set, GameScreen cleared).
// Returns the exit status when the program ended inside the match (Escape, an error box),
// nothing when the match returned normally.
std::optional<int> PlayMatch(Game& game, int16_t mode, int16_t rounds);

}  // namespace rv
