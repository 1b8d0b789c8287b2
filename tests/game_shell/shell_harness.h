#pragma once
// A fresh program folder per test and the game run on the headless platform in it.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/cpu/random_source.h"
#include "game/gfx/picture_rects.h"
#include "game/gfx/picture_set.h"
#include "platform/headless/captured_frame.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_platform.h"
#include "support/frame_compare.h"
#include "support/program_folder.h"
#include "support/temp_folder.h"

namespace rv {
class Game;
}

namespace rv::test {

void WriteFile(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::filesystem::path& file);

// One run of the game. Steps wait in order: each one's condition is looked at on every pass
// of event servicing, and when it holds its action runs once and the next step waits.
class ShellRun {
 public:
  ShellRun();

  // Runs the program; the status it returns.
  int Run();

  void When(std::function<bool()> condition, std::function<void()> action);
  // A step that waits ms from the moment the step before it was done.
  void AfterMs(uint32_t ms, std::function<void()> action);
  // A key-down now and its key-up hold_ms later.
  void Press(int16_t key_code, uint32_t hold_ms = 30);
  uint32_t Now() { return platform.clock().Now(); }

  // Audio records as text, and how often one of them occurs.
  HeadlessAudio& audio();
  std::vector<std::string> AudioTexts();
  int Count(const std::string& record);
  // Position of the first record equal to text at or after `from`, or -1.
  int Find(const std::string& text, int from = 0);

  // The menu's title and music are up for the n-th time.
  bool MenuShown(int n = 1) { return Count("music_play 1") >= n; }

  TempFolder temp;
  const std::filesystem::path folder;
  HeadlessPlatform platform;
  SeededRandom rng{20261207};

  // Set by the configuration step, which comes last before the title.
  Game* game = nullptr;
  std::vector<int16_t> priorities;
  std::function<void(Game&)> at_config;  // extra checks at that moment
  // The language the run is started in, as --lang would give it.
  std::string language = "ja";

  // A run that had to be stopped by the guard (the test then fails).
  bool guard_fired = false;
  uint32_t guard_ms = 120000;

 private:
  struct Step {
    std::function<bool()> condition;
    std::function<void()> action;
  };
  void Drive();

  std::vector<Step> steps_;
  size_t next_step_ = 0;
};

// The picture surfaces as the test loads them itself, to compare with captured frames.
struct TestPictures {
  explicit TestPictures(const std::filesystem::path& folder);
  PictureSet set;
  const Surface& Of(rects::Picture picture);
};

// Whether the frame shows the piece r of its picture with its top-left at (x, y).
inline bool ShowsPiece(const CapturedFrame& frame, int x, int y, const Surface& picture,
                       const rects::Rect& r) {
  return SameArea(frame, x, y, picture, r.x, r.y, r.w, r.h);
}

}  // namespace rv::test
