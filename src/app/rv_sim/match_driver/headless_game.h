#pragma once
// A whole game on the headless platform, ready for a match: a program folder of its own
// (TempProgramFolder), everything loaded that start-up loads, and optionally every presented
// frame saved as a PNG.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/rv_sim/match_driver/temp_program_folder.h"
#include "game/cpu/random_source.h"
#include "game/game.h"
#include "lang/language.h"
#include "platform/headless/headless_platform.h"

namespace rv::sim {

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
  // The game speaks `language`, as --lang makes it for the window.
  HeadlessGame(const std::filesystem::path& program_folder, uint64_t cpu_seed, Language language);
  HeadlessGame(const HeadlessGame&) = delete;
  HeadlessGame& operator=(const HeadlessGame&) = delete;

  // What start-up loads: the face, the pictures, the music, the ranking file, and the
  // running marker. Returns an empty string, or what failed.
  std::string Prepare();

  FrameSavingPlatform platform;
  SeededRandom rng;
  std::unique_ptr<Game> game;
};

// The match as the menu starts it (GameMode and RoundCount set, GameScreen cleared).
// Returns the exit status when the program ended inside the match (Escape, an error box),
// nothing when the match returned normally.
std::optional<int> PlayMatch(Game& game, int16_t mode, int16_t rounds);

}  // namespace rv::sim
