#pragma once
#include <cstdint>

namespace rv {

// The headless platform's millisecond counter. Nothing moves it but Sleep, each pass of
// event servicing (1 ms) and effects played to their end (their length).
class VirtualClock {
 public:
  uint32_t Now() const { return now_; }
  void Advance(uint32_t ms) { now_ += ms; }
  void Set(uint32_t ms) { now_ = ms; }

 private:
  uint32_t now_ = 0;
};

}  // namespace rv
