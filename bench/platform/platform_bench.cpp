// One refresh (compose the frame, hand it to the window) windowed and full-screen, and the
// processor time of a screen that only waits.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstring>
#include <vector>

#include "game/pace/event_loop.h"
#include "platform/sdl/sdl_platform.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class NullSink : public rv::EventSink {
 public:
  void OnKeyDown(int16_t) override {}
  void OnKeyUp(int16_t) override {}
  void OnClose() override {}
  void OnMusicDone(int) override {}
};

void Outline(std::vector<uint32_t>& frame, int left, int top, uint32_t colour) {
  for (int i = 0; i < 16; ++i) {
    frame[top * kWidth + left + i] = colour;
    frame[(top + 15) * kWidth + left + i] = colour;
    frame[(top + i) * kWidth + left] = colour;
    frame[(top + i) * kWidth + left + 15] = colour;
  }
}

// What a refresh does: the game screen copied into the frame, the two cursor outlines drawn
// over it, the frame presented.
void Refresh(benchmark::State& state, bool fullscreen) {
  rv::SdlPlatform platform(rv::SdlWindowOptions{fullscreen});
  if (!platform.OpenWindow("Ravolin bench")) {
    state.SkipWithError("no window (run under xvfb-run)");
    return;
  }
  std::vector<uint32_t> screen(kWidth * kHeight);
  for (size_t i = 0; i < screen.size(); ++i)
    screen[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
  std::vector<uint32_t> frame(screen.size());
  NullSink sink;
  int n = 0;
  for (auto _ : state) {
    std::memcpy(frame.data(), screen.data(), screen.size() * sizeof(uint32_t));
    Outline(frame, 16 * (n % 39), 16 * 28, 0x0000FF);
    Outline(frame, 16 * ((n + 7) % 39), 16 * 27, 0xFF0000);
    platform.Present(rv::FrameView{frame.data(), kWidth, kHeight});
    ++n;
  }
  platform.PumpEvents(sink);
  const rv::SdlWindowReport r = platform.DescribeWindow();
  state.SetLabel(std::to_string(r.output_width) + "x" + std::to_string(r.output_height) + " " +
                 r.renderer);
}

void BM_RefreshWindowed(benchmark::State& state) { Refresh(state, false); }
void BM_RefreshFullScreen(benchmark::State& state) { Refresh(state, true); }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A screen waiting for a key: WaitMs(20) over and over with the window open, as the idle
// poll of the menus does. The counter is the share of one core used.
void IdleWait(benchmark::State& state, bool with_window) {
  rv::SdlPlatform platform;
  if (with_window && !platform.OpenWindow("Ravolin bench")) {
    state.SkipWithError("no window (run under xvfb-run)");
    return;
  }
  std::vector<uint32_t> screen(kWidth * kHeight, 0x202020);
  platform.Present(rv::FrameView{screen.data(), kWidth, kHeight});
  NullSink sink;
  rv::EventLoop loop(platform, sink);
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    const double cpu0 = CpuSeconds();
    const int32_t t0 = loop.Now();
    while (loop.Now() - t0 < 3000) loop.WaitMs(20);
    cpu += CpuSeconds() - cpu0;
    wall += (loop.Now() - t0) / 1000.0;
  }
  state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
}

void BM_IdleWait(benchmark::State& state) { IdleWait(state, true); }
// The same without a window: what the sleeping and the clock cost on their own.
void BM_IdleWaitNoWindow(benchmark::State& state) { IdleWait(state, false); }

BENCHMARK(BM_RefreshWindowed)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RefreshFullScreen)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_IdleWait)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_IdleWaitNoWindow)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
