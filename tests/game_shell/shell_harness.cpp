#include "shell_harness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

#include "game/game.h"
#include "game/shell/startup.h"
#include "start/language_choice.h"

namespace rv::test {

namespace fs = std::filesystem;

void WriteFile(const fs::path& file, const std::vector<uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

ShellRun::ShellRun() : folder(temp.path()) {
  FillProgramFolder(folder, RV_DIST_DIR);
  platform.SetProgramFolder(folder);
  platform.SetDriver([this](HeadlessPlatform&) { Drive(); });
}

int ShellRun::Run() {
  StartupOptions options;
  options.apply_priority = [this](Game& g, int16_t index) {
    game = &g;
    priorities.push_back(index);
    if (at_config) at_config(g);
  };
  const LanguageLoad load = LoadLanguage(folder, language);
  EXPECT_TRUE(load.known && load.error.empty()) << language << ": " << load.error;
  return RunGame(platform, rng, load.language, options);
}

void ShellRun::When(std::function<bool()> condition, std::function<void()> action) {
  steps_.push_back(Step{std::move(condition), std::move(action)});
}

void ShellRun::AfterMs(uint32_t ms, std::function<void()> action) {
  auto due = std::make_shared<uint32_t>(0);
  When(
      [this, due, ms] {
        *due = Now() + ms;
        return true;
      },
      [] {});
  When([this, due] { return static_cast<int32_t>(Now() - *due) >= 0; }, std::move(action));
}

void ShellRun::Press(int16_t key_code, uint32_t hold_ms) {
  platform.ScheduleKeyPress(Now(), key_code, hold_ms);
}

void ShellRun::Drive() {
  if (!guard_fired && Now() > guard_ms) {
    guard_fired = true;
    platform.ScheduleKeyDown(Now(), vk::kEscape);
    return;
  }
  if (next_step_ < steps_.size() && steps_[next_step_].condition()) {
    steps_[next_step_++].action();
  }
}

HeadlessAudio& ShellRun::audio() { return dynamic_cast<HeadlessAudio&>(platform.audio()); }

std::vector<std::string> ShellRun::AudioTexts() {
  std::vector<std::string> out;
  for (const auto& r : audio().records()) out.push_back(r.text);
  return out;
}

int ShellRun::Count(const std::string& record) {
  int n = 0;
  for (const auto& r : audio().records()) n += r.text == record ? 1 : 0;
  return n;
}

int ShellRun::Find(const std::string& text, int from) {
  const auto& records = audio().records();
  for (size_t i = static_cast<size_t>(from); i < records.size(); ++i) {
    if (records[i].text == text) return static_cast<int>(i);
  }
  return -1;
}

TestPictures::TestPictures(const fs::path& folder) {
  PictureLoader loader(folder);
  for (const auto& file : rects::kPictureFiles) {
    loader.LoadSurface(set, static_cast<int16_t>(file.surface), file.name);
  }
}

const Surface& TestPictures::Of(rects::Picture picture) {
  return *set.ByNumber(static_cast<int16_t>(picture));
}

}  // namespace rv::test
