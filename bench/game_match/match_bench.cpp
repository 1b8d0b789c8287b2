// How fast whole matches run on the headless platform: the match alone (from the dark
// pause to the reset after the results), timed by hand so that loading the pictures, the
// face and the sounds of each fresh game is left out.

#include <benchmark/benchmark.h>

#include <chrono>
#include <stdexcept>

#include "game/headless/headless_game.h"
#include "game/headless/player_bot.h"
#include "game/headless/temp_program_folder.h"

namespace {

void BM_HeadlessMatch(benchmark::State& state) {
  const auto mode = static_cast<int16_t>(state.range(0));
  const auto rounds = static_cast<int16_t>(state.range(1));
  const rv::TempProgramFolder folder(RV_DIST_DIR, std::nullopt);
  uint64_t seed = 1;
  for (auto _ : state) {
    rv::HeadlessGame headless(folder.path(), seed, rv::Language::Japanese());
    if (!headless.Prepare().empty()) throw std::runtime_error("the game could not be prepared");
    rv::PlayerBot bot(*headless.game, rv::PlayerKind::kGreedy, seed);
    headless.platform.SetDriver([&bot](rv::HeadlessPlatform& p) { bot.Drive(p); });
    const auto start = std::chrono::steady_clock::now();
    const auto exited = rv::PlayMatch(*headless.game, mode, rounds);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (exited) throw std::runtime_error("the match ended the program");
    state.SetIterationTime(took.count());
    state.counters["virtual_s"] = headless.platform.Now() / 1000.0;  // the match's own clock
    ++seed;
  }
  state.SetItemsProcessed(state.iterations());  // items per second = matches per second
}
BENCHMARK(BM_HeadlessMatch)
    ->Args({2, 9})
    ->Args({0, 9})
    ->Args({1, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
