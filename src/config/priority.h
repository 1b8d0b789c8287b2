#pragma once
// The game's process priority from the configuration index, in the fixed order
// idle < normal < high < real-time, mapped onto Linux scheduling.

#include <cstdint>
#include <optional>

namespace rv {

enum class PriorityClass { kIdle, kNormal, kHigh, kRealtime };

// 0 idle, 1 normal, 2 high, 3 real-time; any other index has no class.
std::optional<PriorityClass> PriorityFromIndex(int16_t index);

// How a class is asked of Linux: the scheduling policy, its real-time priority and the
// nice value (used only by SCHED_OTHER).
struct SchedulingRequest {
  int policy;
  int rt_priority;
  int nice;
};
SchedulingRequest SchedulingFor(PriorityClass priority);

// Applies the index to every thread of the process. An index outside 0..3 changes nothing;
// a request the system refuses (a negative nice or real-time without the right to them) is
// ignored, as the game does not check it. Returns whether every request was granted.
bool ApplyProcessPriority(int16_t index);

}  // namespace rv
