// What the game's own start-up costs, without SDL and X: the part before the window opens
// (the duplicate checks, the required files and the marker), and everything up to the title
// (the Game and its surfaces, the face, the pictures, the music, the ranking and the
// configuration).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "game/cpu/random_source.h"
#include "game/game.h"
#include "game/shell/startup.h"
#include "platform/headless/headless_platform.h"
#include "start/language_choice.h"
#include "support/program_folder.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// A program folder linked from the build's, removed at the end.
class BenchFolder {
 public:
  BenchFolder() { rv::test::FillProgramFolder(temp_.path(), RV_DIST_DIR); }
  const fs::path& path() const { return temp_.path(); }

 private:
  rv::test::TempFolder temp_{"startup_bench"};
};

void BM_BeforeTheWindow(benchmark::State& state) {
  BenchFolder folder;
  for (auto _ : state) {
    rv::HeadlessPlatform platform;
    platform.SetProgramFolder(folder.path());
    const rv::Language japanese = rv::Language::Japanese();
    rv::StartContext start{platform, folder.path(), std::nullopt, false, {}, japanese};
    rv::UseDataFolder(start);
    rv::Form_Initialize(start);
    benchmark::DoNotOptimize(rv::Form_Load(start));
  }
}
BENCHMARK(BM_BeforeTheWindow)->Unit(benchmark::kMillisecond);

// Stops at the configuration, the last step before the title. Argument 0 is the Japanese
// default, 1 English, whose catalogue is read as the program reads it at its start.
void BM_UpToTheTitle(benchmark::State& state) {
  BenchFolder folder;
  const std::string language = state.range(0) == 0 ? "ja" : "en";
  state.SetLabel(language);
  for (auto _ : state) {
    rv::StartupOptions options;
    options.apply_priority = [](rv::Game&, int16_t) { throw rv::ProgramExit{0}; };
    const rv::LanguageLoad load = rv::LoadLanguage(folder.path(), language);
    rv::HeadlessPlatform platform;
    platform.SetProgramFolder(folder.path());
    rv::SeededRandom rng(1);
    benchmark::DoNotOptimize(rv::RunGame(platform, rng, load.language, options));
  }
}
BENCHMARK(BM_UpToTheTitle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
