#include "app/rv_sim/match_driver/headless_game.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

#include "config/stored_file.h"
#include "game/match/match_loop.h"
#include "game/ranking/ranking_file.h"

namespace rv::sim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderPrefix = "rv_match_";

// A live rv_sim holds an exclusive flock on its folder: a folder of ours whose lock can be
// taken was left by a run that was killed, and goes.
void RemoveStaleFolders(const fs::path& base) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(base, ec)) {
    if (!entry.path().filename().string().starts_with(kFolderPrefix)) continue;
    const int fd = ::open(entry.path().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      std::error_code ignored;
      fs::remove_all(entry.path(), ignored);
    }
    ::close(fd);
  }
}

// A new folder, locked, and still linked (a cleaner may remove a folder in the moment
// between its creation and its lock).
fs::path MakeLockedFolder(int& lock_fd) {
  std::random_device entropy;
  const fs::path base = fs::temp_directory_path();
  RemoveStaleFolders(base);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / (kFolderPrefix + std::to_string(entropy()));
    std::error_code ec;
    if (!fs::create_directory(candidate, ec)) continue;
    lock_fd = ::open(candidate.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st {};
    if (lock_fd >= 0 && ::flock(lock_fd, LOCK_EX) == 0 && ::fstat(lock_fd, &st) == 0 &&
        st.st_nlink > 0) {
      return candidate;
    }
    if (lock_fd >= 0) ::close(lock_fd);
    lock_fd = -1;
  }
  throw std::runtime_error("cannot create a temporary program folder in " + base.string());
}

}  // namespace

TempProgramFolder::TempProgramFolder(const fs::path& assets_folder,
                                     const std::optional<fs::path>& ranking_file)
    : path_(MakeLockedFolder(lock_fd_)) {
  try {
    Fill(fs::absolute(assets_folder), ranking_file);
  } catch (...) {
    Remove();
    throw;
  }
}

void TempProgramFolder::Fill(const fs::path& assets, const std::optional<fs::path>& ranking_file) {
  for (const char* name : {"Picture", "Wave", "Music", "mpng.so"}) {
    if (!fs::exists(assets / name)) {
      throw std::runtime_error("the program folder " + assets.string() + " has no " + name);
    }
    fs::create_symlink(assets / name, path_ / name);
  }
  if (!ranking_file || !fs::exists(*ranking_file)) return;
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadStoredFile(*ranking_file, bytes, &error)) throw std::runtime_error(error);
  const FileResult copied = ReplaceFileAtomically(path_ / "rvdat.dat", bytes);
  if (!copied.ok) throw std::runtime_error(copied.error);
}

FileResult TempProgramFolder::CopyRankingTo(const fs::path& ranking_file) const {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadStoredFile(path_ / "rvdat.dat", bytes, &error)) return {false, error};
  return ReplaceFileAtomically(ResolveWriteTarget(ranking_file), bytes);
}

void TempProgramFolder::Remove() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
  if (lock_fd_ >= 0) ::close(lock_fd_);
  lock_fd_ = -1;
}

TempProgramFolder::~TempProgramFolder() { Remove(); }

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
  RankingLoad ranking = LoadRankingFile(game->File("rvdat.dat"));
  if (!ranking.ok) return ranking.error;
  game->ranking = ranking.tables;
  std::ofstream marker(game->File("rvdat.cck"), std::ios::binary);
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
