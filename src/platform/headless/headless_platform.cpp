#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <iostream>

#include "start/program_folder.h"

namespace rv {

namespace {

// Virtual times compare like the real counter: by signed difference, wrap-safe.
bool IsDue(uint32_t at, uint32_t now) { return static_cast<int32_t>(now - at) >= 0; }

}  // namespace

HeadlessPlatform::HeadlessPlatform() : program_folder_(rv::ProgramFolder()) {}

uint32_t HeadlessPlatform::Now() { return clock_.Now(); }

void HeadlessPlatform::Sleep(int ms) {
  ++sleep_count_;
  if (ms <= 0) return;
  clock_.Advance(static_cast<uint32_t>(ms));
  total_slept_ += static_cast<uint32_t>(ms);
}

void HeadlessPlatform::PumpEvents(EventSink& sink) {
  ++pump_count_;
  clock_.Advance(1);
  if (driver_) driver_(*this);
  Scripted event;
  while (TakeDue(event)) {
    switch (event.kind) {
      case Kind::kKeyDown:
        sink.OnKeyDown(event.key_code);
        break;
      case Kind::kKeyUp:
        sink.OnKeyUp(event.key_code);
        break;
      case Kind::kClose:
        sink.OnClose();
        break;
    }
  }
  for (int player : audio_.TakeFinishedMusic()) sink.OnMusicDone(player);
}

bool HeadlessPlatform::OpenWindow(const std::string& caption) {
  if (window_fails_) return false;
  window_open_ = true;
  window_caption_ = caption;
  return true;
}

void HeadlessPlatform::CloseWindow() { window_open_ = false; }

// A frame without pixels or with no area is ignored; it is neither kept nor counted.
void HeadlessPlatform::Present(FrameView frame) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return;
  last_frame_.width = frame.width;
  last_frame_.height = frame.height;
  last_frame_.time = clock_.Now();
  last_frame_.pixels.assign(frame.pixels,
                            frame.pixels + static_cast<size_t>(frame.width) * frame.height);
  ++frame_count_;
  if (keep_all_frames_) frames_.push_back(last_frame_);
}

void HeadlessPlatform::ShowMessage(std::string_view text, std::string_view caption,
                                   MessageIcon icon) {
  messages_.push_back(Message{std::string(text), std::string(caption), icon, clock_.Now()});
  std::cerr << caption << ": " << text << '\n';
}

std::filesystem::path HeadlessPlatform::ProgramFolder() { return program_folder_; }

Audio& HeadlessPlatform::audio() { return audio_; }

void HeadlessPlatform::ScheduleKeyDown(uint32_t at, int16_t key_code) {
  Schedule(at, Kind::kKeyDown, key_code);
}

void HeadlessPlatform::ScheduleKeyUp(uint32_t at, int16_t key_code) {
  Schedule(at, Kind::kKeyUp, key_code);
}

void HeadlessPlatform::ScheduleKeyPress(uint32_t at, int16_t key_code, uint32_t hold_ms) {
  Schedule(at, Kind::kKeyDown, key_code);
  Schedule(at + hold_ms, Kind::kKeyUp, key_code);
}

void HeadlessPlatform::ScheduleClose(uint32_t at) { Schedule(at, Kind::kClose, 0); }

void HeadlessPlatform::Schedule(uint32_t at, Kind kind, int16_t key_code) {
  script_.push_back(Scripted{at, next_order_++, kind, key_code});
}

// The earliest due event (ties: the one scripted first), removed from the script.
bool HeadlessPlatform::TakeDue(Scripted& event) {
  const uint32_t now = clock_.Now();
  auto best = script_.end();
  for (auto it = script_.begin(); it != script_.end(); ++it) {
    if (!IsDue(it->at, now)) continue;
    if (best == script_.end() || static_cast<int32_t>(it->at - best->at) < 0 ||
        (it->at == best->at && it->order < best->order)) {
      best = it;
    }
  }
  if (best == script_.end()) return false;
  event = *best;
  script_.erase(best);
  return true;
}

}  // namespace rv
