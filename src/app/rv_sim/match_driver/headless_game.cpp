#include "app/rv_sim/match_driver/headless_game.h"

#include <cstdio>
#include <fstream>
#include <utility>

#include "game/match/match_loop.h"
#include "game/ranking/ranking_file.h"
#include "game/shell/startup.h"
#include "storage/player_files.h"

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

HeadlessGame::HeadlessGame(const fs::path& program_folder, uint64_t cpu_seed, Language language)
    : rng(cpu_seed) {
  platform.SetProgramFolder(program_folder);
  game = std::make_unique<Game>(platform, rng, std::move(language));
}

std::string HeadlessGame::Prepare() {
  std::string error;
  game->text = TextRenderer::Open(&error);
  if (!game->text) return error;
  for (const rects::Picture picture : kStartupPictures) {
    const LoadResult loaded = game->loader.Load(game->pictures, picture);
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
