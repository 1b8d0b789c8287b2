#include "game/pace/event_loop.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace rv {

namespace {

// Milliseconds from `from` to `to` on the wrapping 32-bit counter.
int32_t Elapsed(uint32_t from, uint32_t to) { return static_cast<int32_t>(to - from); }

}  // namespace

EventLoop::EventLoop(Platform& platform, EventSink& sink) : platform_(platform), sink_(sink) {}

void EventLoop::DoEvents() {
  platform_.PumpEvents(sink_);
  FireTimerIfDue();
}

// The steps are kept literally: one pass of events before the first check, then 20 ms
// sleeps each followed by a pass, until strictly more than `ms` has passed.
void EventLoop::WaitMs(int32_t ms) {
  const uint32_t start = platform_.Now();
  DoEvents();
  while (Elapsed(start, platform_.Now()) <= ms) {
    platform_.Sleep(20);
    DoEvents();
  }
}

int32_t EventLoop::Now() { return static_cast<int32_t>(platform_.Now()); }

void EventLoop::StartFrame(FrameStamps& stamps) { stamps.FrameStart = Now(); }

void EventLoop::EndFrame(FrameStamps& stamps, int32_t period_ms) {
  stamps.FrameEnd = Now();
  const int32_t taken =
      Elapsed(static_cast<uint32_t>(stamps.FrameStart), static_cast<uint32_t>(stamps.FrameEnd));
  // In 64 bits: a stamp pair from across a wrap must not overflow the subtraction.
  const int64_t wait = static_cast<int64_t>(period_ms) - taken;
  WaitMs(static_cast<int32_t>(std::clamp<int64_t>(wait, INT32_MIN, INT32_MAX)));
}

void EventLoop::SetTimer(int interval_ms, std::function<void()> on_tick) {
  timer_interval_ = interval_ms > 0 ? interval_ms : 1;
  on_tick_ = std::move(on_tick);
  timer_due_ = platform_.Now() + static_cast<uint32_t>(timer_interval_);
}

void EventLoop::EnableTimer(bool enabled) {
  if (enabled && !timer_enabled_) {
    timer_due_ = platform_.Now() + static_cast<uint32_t>(timer_interval_);
  }
  timer_enabled_ = enabled;
}

bool EventLoop::TimerEnabled() const { return timer_enabled_; }

// The next due time is set before the tick runs, so a tick that disables the timer, or
// one that leaves by throwing ProgramExit, leaves the timer in a consistent state.
void EventLoop::FireTimerIfDue() {
  if (!timer_enabled_ || !on_tick_) return;
  const uint32_t now = platform_.Now();
  if (Elapsed(timer_due_, now) < 0) return;
  timer_due_ = now + static_cast<uint32_t>(timer_interval_);
  on_tick_();
}

}  // namespace rv
