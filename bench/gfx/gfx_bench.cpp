// The drawing costs of one frame: a full-screen blend (every fade step), a full-screen
// opaque copy, a memcpy of the same 1.2 MB for scale, and the compose of a refresh.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "game/gfx/blit.h"
#include "game/gfx/display.h"

namespace rv {
namespace {

Surface Pattern(uint32_t seed) {
  Surface s(640, 480);
  uint32_t state = seed;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      state = state * 1664525u + 1013904223u;
      s.SetPixel(x, y, state >> 8);
    }
  }
  return s;
}

class NoPresent : public Platform {
 public:
  uint32_t Now() override { return 0; }
  void Sleep(int) override {}
  void PumpEvents(EventSink&) override {}
  bool OpenWindow(const std::string&) override { return true; }
  void CloseWindow() override {}
  void Present(FrameView frame) override { benchmark::DoNotOptimize(frame.pixels); }
  void ShowMessage(std::string_view, std::string_view, MessageIcon) override {}
  std::filesystem::path ProgramFolder() override { return {}; }
  Audio& audio() override { std::abort(); }
};

constexpr int64_t kScreenBytes = 640 * 480 * 4;

// Times `draw` once an iteration, with every write it made kept.
template <typename Draw>
void TimeDrawing(benchmark::State& state, Draw draw) {
  for (auto _ : state) {
    draw();
    benchmark::ClobberMemory();
  }
}

void BM_FullScreenAlphaBlend(benchmark::State& state) {
  const Surface src = Pattern(1);
  Surface dst = Pattern(2);
  TimeDrawing(state, [&] { AlphaBlend(dst, 0, 0, 640, 480, src, 0, 0, 640, 480, 150 * 65536); });
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_FullScreenAlphaBlend);

void BM_FullScreenOpaqueCopy(benchmark::State& state) {
  const Surface src = Pattern(1);
  Surface dst = Pattern(2);
  TimeDrawing(state, [&] { BitBlt(dst, 0, 0, 640, 480, src, 0, 0); });
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_FullScreenOpaqueCopy);

void BM_Memcpy1200KB(benchmark::State& state) {
  std::vector<uint32_t> src(640 * 480, 7), dst(640 * 480, 9);
  TimeDrawing(state, [&] { std::memcpy(dst.data(), src.data(), src.size() * sizeof(uint32_t)); });
  state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_Memcpy1200KB);

void BM_StretchedPanelBlend(benchmark::State& state) {
  const Surface skin = Pattern(3);
  Surface dst = Pattern(4);
  TimeDrawing(state,
              [&] { AlphaBlend(dst, 200, 96, 240, 190, skin, 40, 40, 20, 20, 150 * 65536); });
}
BENCHMARK(BM_StretchedPanelBlend);

void BM_ComposeFrame(benchmark::State& state) {
  NoPresent platform;
  Display display(platform);
  display.GameScreen = Pattern(5);
  display.CharaCursor.Move(160, 320);
  display.CharaCursor.Show();
  display.EnemyCursor.Move(320, 160);
  display.EnemyCursor.Show();
  TimeDrawing(state, [&] { benchmark::DoNotOptimize(display.Compose().data()); });
}
BENCHMARK(BM_ComposeFrame);

}  // namespace
}  // namespace rv
