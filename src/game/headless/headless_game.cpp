#include "game/headless/headless_game.h"

#include <cstdio>
#include <utility>

#include "game/match/match_loop.h"
#include "game/shell/startup.h"

namespace rv {

namespace fs = std::filesystem;

void FrameSavingPlatform::Present(FrameView frame) {
  HeadlessPlatform::Present(frame);
  if (on_present) on_present(LastFrame());
  if (frames_folder_.empty()) return;
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06d.png", saved_++);
  SavePng(LastFrame(), frames_folder_ / name);
}

HeadlessGame::HeadlessGame(const fs::path& program_folder, uint64_t cpu_seed, Language language)
    : rng(cpu_seed), language_(std::move(language)) {
  platform.SetProgramFolder(program_folder);
}

std::string HeadlessGame::Prepare() {
  StartupOptions options;
  options.apply_priority = [](Game&, int16_t) {};
  GameStart started = StartGame(platform, rng, language_, options);
  game = std::move(started.game);
  if (game) return {};
  if (platform.Messages().empty()) {
    return "the start ended with status " + std::to_string(started.status);
  }
  const auto& box = platform.Messages().back();
  return box.caption + ": " + box.text;
}

std::optional<int> PlayMatch(Game& game, int16_t mode, int16_t rounds) {
  game.match.GameMode = mode;
  game.match.RoundCount = rounds;
  game.display.Clear();
  return RunScreens(game, [&] { MatchLoop(game); });
}

}  // namespace rv
