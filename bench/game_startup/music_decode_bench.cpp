// What decoding one whole music track into memory costs (SDL2_mixer's Mix_LoadWAV): the
// stall a Play would have if the players held their tracks decoded, and the yardstick for
// the streamed players (rv_music_play_bench). Measured on the dummy audio device.

#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void BM_DecodeTrack(benchmark::State& state, const std::string& name) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
    state.SkipWithError("no audio device");
    return;
  }
  const std::filesystem::path file = std::filesystem::path(RV_DIST_DIR) / "Music" / name;
  size_t bytes = 0;
  for (auto _ : state) {
    Mix_Chunk* chunk = Mix_LoadWAV(file.c_str());
    if (chunk == nullptr) {
      state.SkipWithError("track cannot be decoded");
      break;
    }
    bytes = chunk->alen;
    Mix_FreeChunk(chunk);
  }
  state.counters["decoded_MB"] = double(bytes) / (1024.0 * 1024.0);
  Mix_CloseAudio();
  SDL_Quit();
}
BENCHMARK_CAPTURE(BM_DecodeTrack, decision, std::string("decision.mp3"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeTrack, ravolin, std::string("ravolin.mp3"))
    ->Unit(benchmark::kMillisecond);

}  // namespace
