#include "app/rv_sim/match_driver/headless_game.h"

#include <cstdio>
#include <fstream>
#include <utility>

#include "config/player_files.h"
#include "game/match/match_loop.h"
#include "game/ranking/ranking_file.h"

namespace rv::sim {

namespace fs = std::filesystem;

void FrameSavingPlatform::Present(FrameView frame) {
  HeadlessPlatform::Present(frame);
  if (on_present) on_present(LastFrame());
  if (frames_folder_.empty()) return;
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06d.png", saved_++);
  SavePng(LastFrame(), frames_folder_ / name);
}

HeadlessGame::HeadlessGame(const fs::path& program_folder, uint64_t cpu_seed) : rng(cpu_seed) {
  platform.SetProgramFolder(program_folder);
  game = std::make_unique<Game>(platform, rng);
}

std::string HeadlessGame::Prepare() {
  std::string error;
  game->text = TextRenderer::Open(&error);
  if (!game->text) return error;
  // In the order start-up loads them; the match background (1) is the match's own.
  static constexpr std::pair<int16_t, const char*> kPictures[] = {
      {2, "pic2"}, {0, "pic3"}, {3, "pic4"}, {4, "pic5"}, {5, "pic6"},
      {6, "pic7"}, {7, "pic8"}, {8, "pic9"}, {9, "pic10"}};
  for (const auto& [number, name] : kPictures) {
    const LoadResult loaded = game->loader.LoadSurface(game->pictures, number, name);
    if (!loaded.ok) return loaded.error;
  }
  game->sound.LoadMp3File();
  RankingLoad ranking = LoadRankingFile(game->File(kRankingFile));
  if (!ranking.ok) return ranking.error;
  game->ranking = ranking.tables;
  std::ofstream marker(game->File(kRunningMarker), std::ios::binary);
  if (!marker) return "cannot create the running marker";
  return {};
}

std::optional<int> PlayMatch(Game& game, int16_t mode, int16_t rounds) {
  game.match.GameMode = mode;
  game.match.RoundCount = rounds;
  game.display.Clear();
  try {
    MatchLoop(game);
  } catch (const ProgramExit& exit) {
    return exit.status;
  }
  return std::nullopt;
}

}  // namespace rv::sim
