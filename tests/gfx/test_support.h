#pragma once
// Shared pieces of the graphics tests: a platform that records presents and writers of the BMP and
// PNG inputs the tests feed to the loaders.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "game/gfx/surface.h"
#include "platform/platform.h"
#include "platform/silent_audio.h"
#include "support/temp_folder.h"

namespace rv::test {

// A clock that moves only when told, and every presented frame kept.
class RecordingPlatform : public Platform {
 public:
  uint32_t Now() override { return now; }
  void Sleep(int ms) override { now += static_cast<uint32_t>(ms > 0 ? ms : 0); }
  void PumpEvents(EventSink&) override { now += 1; }
  bool OpenWindow(const std::string&) override { return true; }
  void CloseWindow() override {}
  void Present(FrameView frame) override;
  void ShowMessage(std::string_view, std::string_view, MessageIcon) override {}
  std::filesystem::path ProgramFolder() override { return folder; }
  Audio& audio() override { return audio_; }

  uint32_t now = 0;
  std::filesystem::path folder;
  std::vector<std::vector<uint32_t>> frames;
  std::vector<uint32_t> present_times;  // the clock at each present, before its cost
  uint32_t present_cost_ms = 0;         // the clock moves this much with every present

 private:
  SilentAudio audio_;
};

// A surface filled with a pattern that differs in every pixel and channel (seeded).
Surface PatternSurface(int width, int height, uint32_t seed);

// BMP files of the given depth (8, 24 or 32) and row order, from a surface. For 8 bits the
// surface may hold at most 256 colours.
std::vector<uint8_t> MakeBmp(const Surface& picture, int bits, bool top_down);
// A PNG file through libpng. color_type is a PNG_COLOR_TYPE_*; bit_depth 8 or 16.
std::vector<uint8_t> MakePng(const Surface& picture, int color_type, int bit_depth,
                             bool interlaced);
void WriteFile(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);

}  // namespace rv::test
