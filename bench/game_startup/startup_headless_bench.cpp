// What the game's own start-up costs, without SDL and X: the part before the window opens
// (the duplicate checks, the required files and the marker), and everything up to the title
// (the Game and its surfaces, the face, the pictures, the music, the ranking and the
// configuration).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

#include "game/cpu/random_source.h"
#include "game/game.h"
#include "game/shell/startup.h"
#include "platform/headless/headless_platform.h"

namespace {

namespace fs = std::filesystem;

// A program folder linked from the build's, removed at the end.
class BenchFolder {
 public:
  BenchFolder() {
    std::string templ = (fs::temp_directory_path() / "rv_startup_bench_XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) return;
    path_ = templ;
    const fs::path dist = RV_DIST_DIR;
    for (const char* sub : {"Music", "Picture", "Wave"}) {
      fs::create_directories(path_ / sub);
      for (const auto& entry : fs::directory_iterator(dist / sub)) {
        fs::create_symlink(entry.path(), path_ / sub / entry.path().filename());
      }
    }
    fs::create_symlink(dist / "mpng.so", path_ / "mpng.so");
    std::ofstream(path_ / "rvdat.cfg", std::ios::binary).write("\x01\x00", 2);
  }
  ~BenchFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void BM_BeforeTheWindow(benchmark::State& state) {
  BenchFolder folder;
  for (auto _ : state) {
    rv::HeadlessPlatform platform;
    platform.SetProgramFolder(folder.path());
    rv::StartContext start{platform, folder.path(), std::nullopt, false, {}};
    rv::UseDataFolder(start);
    rv::Form_Initialize(start);
    benchmark::DoNotOptimize(rv::Form_Load(start));
  }
}
BENCHMARK(BM_BeforeTheWindow)->Unit(benchmark::kMillisecond);

// Stops at the configuration, the last step before the title.
void BM_UpToTheTitle(benchmark::State& state) {
  BenchFolder folder;
  rv::StartupOptions options;
  options.apply_priority = [](rv::Game&, int16_t) { throw rv::ProgramExit{0}; };
  for (auto _ : state) {
    rv::HeadlessPlatform platform;
    platform.SetProgramFolder(folder.path());
    rv::SeededRandom rng(1);
    benchmark::DoNotOptimize(rv::RunGame(platform, rng, options));
  }
}
BENCHMARK(BM_UpToTheTitle)->Unit(benchmark::kMillisecond);

}  // namespace
