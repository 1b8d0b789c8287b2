#pragma once
// Event servicing and pacing, written once for every screen: `DoEvents`, `WaitMs`, the
// frame stamps, and the main window's one timer (`BltTimer`), which fires only while
// events are serviced, never in the middle of a drawing.

#include <cstdint>
#include <functional>

#include "platform/platform.h"

namespace rv {

// Stamps of the frame-period idiom: WaitMs(P - (FrameEnd - FrameStart)).
struct FrameStamps {
  int32_t FrameStart = 0;
  int32_t FrameEnd = 0;
};

class EventLoop {
 public:
  EventLoop(Platform& platform, EventSink& sink);

  // One pass of servicing pending events; fires the timer when it is due.
  void DoEvents();
  // Waits until more than `ms` milliseconds have passed, in 20 ms sleeps, servicing events.
  void WaitMs(int32_t ms);
  // The platform's millisecond counter as a signed 32-bit stamp.
  int32_t Now();

  // The frame-period idiom: StartFrame when the frame begins, EndFrame after drawing it.
  // EndFrame stamps FrameEnd and waits P - (FrameEnd - FrameStart); a frame that took
  // longer than P gets a negative wait, which services events once and does not sleep.
  void StartFrame(FrameStamps& stamps);
  void EndFrame(FrameStamps& stamps, int32_t period_ms);

  // The timer ticks only inside DoEvents. Enabling it starts a fresh interval; ticks that
  // fell due while nobody serviced events collapse into one, as window timers do.
  void SetTimer(int interval_ms, std::function<void()> on_tick);
  void EnableTimer(bool enabled);
  bool TimerEnabled() const;

  Platform& platform() { return platform_; }

 private:
  void FireTimerIfDue();

  Platform& platform_;
  EventSink& sink_;
  int timer_interval_ = 70;
  bool timer_enabled_ = false;
  uint32_t timer_due_ = 0;
  std::function<void()> on_tick_;
};

}  // namespace rv
