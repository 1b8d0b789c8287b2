// What the music players cost the game, on the dummy audio device with the real tracks:
//   BM_PlayMusicReturn: how long PlayMusic keeps the game thread, the way the game plays
//     (menu and match music take turns, each stopped and rewound before the other starts).
//   BM_MusicPlaying: processor time of decoding and mixing per second of music (the whole
//     process, while this thread sleeps; less the cost with no music playing, it is what the
//     music adds), and the largest gap between two mixing passes of
//     the device against its nominal period (a gap well past the period would be an underrun).

#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/sdl/music_mixer.h"
#include "platform/sdl/sdl_audio.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path kTracks[2] = {fs::path(RV_DIST_DIR) / "Music" / "ravolin.mp3",
                             fs::path(RV_DIST_DIR) / "Music" / "decision.mp3"};

double ThreadCpuS() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double ProcessCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
         usage.ru_stime.tv_usec / 1e3;
}

// Stamps every mixing pass; the post-mix hook is free in every backend of ours.
struct PassClock {
  std::atomic<uint64_t> last{0};
  std::atomic<uint64_t> max_gap{0};
  std::atomic<int> bytes{0};
  std::atomic<bool> armed{false};

  static void OnPass(void* self, Uint8*, int len) {
    auto& c = *static_cast<PassClock*>(self);
    const uint64_t now = SDL_GetPerformanceCounter();
    const uint64_t before = c.last.exchange(now);
    c.bytes = len;
    if (c.armed && before != 0) c.max_gap = std::max<uint64_t>(c.max_gap, now - before);
  }
  double MaxGapMs() const { return 1e3 * double(max_gap) / double(SDL_GetPerformanceFrequency()); }
};

bool OpenTracks(rv::SdlAudio& audio, benchmark::State& state) {
  if (audio.silent()) {
    state.SkipWithError("no audio device");
    return false;
  }
  for (int p = 0; p < 2; ++p) {
    if (!audio.OpenMusic(p, kTracks[p])) {
      state.SkipWithError("a track cannot be opened (build the assets target)");
      return false;
    }
  }
  return true;
}

void BM_PlayMusicReturn(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  rv::SdlAudio audio;
  if (!OpenTracks(audio, state)) return;
  int player = 1;  // the menu's track comes first, as in the game
  double worst_ms = 0.0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    audio.PlayMusic(player);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    state.SetIterationTime(s);
    worst_ms = std::max(worst_ms, s * 1e3);
    audio.StopMusic(player);
    audio.SeekMusic(player);
    player = 1 - player;
  }
  state.counters["worst_ms"] = worst_ms;
}
BENCHMARK(BM_PlayMusicReturn)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// Arg: how many players sound at once (0: none, the mixing thread's own cost; 1: the menu's
// track; 2: both tracks).
void BM_MusicPlaying(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  rv::SdlAudio audio;
  if (!OpenTracks(audio, state)) return;
  PassClock passes;
  Mix_SetPostMix(&PassClock::OnPass, &passes);
  const int players = int(state.range(0));
  for (int p = 0; p < players; ++p) audio.PlayMusic(1 - p);
  SDL_Delay(300);  // past the start: a first Play's own work is measured above
  constexpr int kSeconds = 5;
  double cpu_ms = 0.0;
  for (auto _ : state) {
    passes.armed = true;
    const double c0 = ProcessCpuMs();
    SDL_Delay(kSeconds * 1000);
    cpu_ms = ProcessCpuMs() - c0;
    passes.armed = false;
  }
  Mix_SetPostMix(nullptr, nullptr);
  int freq = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&freq, &format, &channels);
  const int frame_bytes = channels * int(SDL_AUDIO_BITSIZE(format) / 8);
  state.counters["cpu_ms_per_s"] = cpu_ms / kSeconds;
  state.counters["max_gap_ms"] = passes.MaxGapMs();
  state.counters["period_ms"] = frame_bytes > 0 ? 1e3 * passes.bytes / frame_bytes / freq : 0.0;
  for (int p = 0; p < players; ++p) {
    if (!audio.MusicPlaying(1 - p)) state.SkipWithError("a track stopped while measured");
  }
}
// One device buffer (2048 frames, 46 ms) of the streamed players, decoded and mixed, with no
// device: the work of the music hook in each pass, and so its processor time per second of
// music. Arg: how many players sound.
void BM_MixPass(benchmark::State& state) {
  constexpr size_t kFrames = 2048;
  rv::MusicMixer mixer(44100, 2, nullptr);
  const int players = int(state.range(0));
  for (int p = 0; p < players; ++p) {
    if (!mixer.Open(p, kTracks[p])) {
      state.SkipWithError("a track cannot be opened (build the assets target)");
      return;
    }
    mixer.Play(p);
  }
  std::vector<int16_t> buffer(2 * kFrames);
  double worst_us = 0.0;
  const double cpu0 = ThreadCpuS();
  for (auto _ : state) {
    std::fill(buffer.begin(), buffer.end(), int16_t(0));
    const auto t0 = Clock::now();
    mixer.Mix(buffer.data(), kFrames);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    state.SetIterationTime(s);
    worst_us = std::max(worst_us, s * 1e6);
    for (int p = 0; p < players; ++p) {
      if (!mixer.Playing(p)) {  // at the end: start over, as the game's answer would
        mixer.Seek(p);
        mixer.Play(p);
      }
    }
  }
  state.counters["worst_us"] = worst_us;
  const double music_s = double(state.iterations()) * kFrames / 44100.0;
  // Processor time, not wall time: on a busy machine the pass may wait for a core.
  state.counters["cpu_ms_per_s"] = (ThreadCpuS() - cpu0) * 1e3 / music_s;
}
BENCHMARK(BM_MixPass)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_MusicPlaying)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
