#pragma once
// The platform without a machine: a virtual clock, keys from a script or a driver, frames
// captured instead of shown and message boxes recorded instead of shown. A whole match runs
// in a fraction of a second and comes out the same every time.
//
// One pass of PumpEvents:
//   1. the clock moves on by 1 ms (so loops that spin on the clock end),
//   2. the driver, if any, looks at the game and may press or release keys,
//   3. every scripted event whose time has come is delivered, in time order (ties in the
//      order they were scripted): key-downs, key-ups, a close,
//   4. music players that reached the end of their tracks are reported.
// An event is taken off the script before it is delivered, so a handler that leaves by
// throwing ProgramExit leaves the rest of the script intact.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/captured_frame.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/virtual_clock.h"
#include "platform/platform.h"

namespace rv {

class HeadlessPlatform : public Platform {
 public:
  using Driver = std::function<void(HeadlessPlatform&)>;

  struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::kNone;
    uint32_t time = 0;
  };

  HeadlessPlatform();

  // Platform
  uint32_t Now() override;
  void Sleep(int ms) override;  // advances the clock; zero and negative do nothing
  void PumpEvents(EventSink& sink) override;
  bool OpenWindow(const std::string& caption) override;
  void CloseWindow() override;
  void Present(FrameView frame) override;
  void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
  std::filesystem::path ProgramFolder() override;
  Audio& audio() override;

  VirtualClock& clock() { return clock_; }

  // The script. Times are virtual milliseconds; an event is delivered by the first pass of
  // PumpEvents at or after its time.
  void ScheduleKeyDown(uint32_t at, int16_t key_code);
  void ScheduleKeyUp(uint32_t at, int16_t key_code);
  // A key-down at `at` and its key-up `hold_ms` later.
  void ScheduleKeyPress(uint32_t at, int16_t key_code, uint32_t hold_ms);
  void ScheduleClose(uint32_t at);
  // For drivers: delivered in the current pass (or the next one, outside a pass).
  void PressKey(int16_t key_code) { ScheduleKeyDown(clock_.Now(), key_code); }
  void ReleaseKey(int16_t key_code) { ScheduleKeyUp(clock_.Now(), key_code); }
  void RequestClose() { ScheduleClose(clock_.Now()); }
  size_t PendingEvents() const { return script_.size(); }
  void SetDriver(Driver driver) { driver_ = std::move(driver); }

  // Counters for tests of pacing.
  int PumpCount() const { return pump_count_; }
  int SleepCount() const { return sleep_count_; }
  uint32_t TotalSlept() const { return total_slept_; }

  // Frames. The last one is always kept; all of them only when asked for.
  int FrameCount() const { return frame_count_; }
  const CapturedFrame& LastFrame() const { return last_frame_; }
  void KeepAllFrames(bool keep) { keep_all_frames_ = keep; }
  const std::vector<CapturedFrame>& Frames() const { return frames_; }
  bool SaveLastFrame(const std::filesystem::path& file) const { return SavePng(last_frame_, file); }

  const std::vector<Message>& Messages() const { return messages_; }

  // The program folder defaults to the folder of the running executable.
  void SetProgramFolder(std::filesystem::path folder) { program_folder_ = std::move(folder); }

  // Makes OpenWindow fail, as on a machine without a display.
  void SetWindowFails(bool fails) { window_fails_ = fails; }
  bool WindowOpen() const { return window_open_; }
  const std::string& WindowCaption() const { return window_caption_; }

 private:
  enum class Kind { kKeyDown, kKeyUp, kClose };
  struct Scripted {
    uint32_t at = 0;
    uint64_t order = 0;
    Kind kind = Kind::kKeyDown;
    int16_t key_code = 0;
  };

  void Schedule(uint32_t at, Kind kind, int16_t key_code);
  bool TakeDue(Scripted& event);

  VirtualClock clock_;
  HeadlessAudio audio_{clock_};
  std::vector<Scripted> script_;
  uint64_t next_order_ = 0;
  Driver driver_;
  int pump_count_ = 0;
  int sleep_count_ = 0;
  uint32_t total_slept_ = 0;
  int frame_count_ = 0;
  bool keep_all_frames_ = false;
  CapturedFrame last_frame_;
  std::vector<CapturedFrame> frames_;
  std::vector<Message> messages_;
  std::filesystem::path program_folder_;
  bool window_fails_ = false;
  bool window_open_ = false;
  std::string window_caption_;
};

}  // namespace rv
