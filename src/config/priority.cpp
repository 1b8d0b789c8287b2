#include "config/priority.h"

#include <dirent.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/types.h>

#include <cstdlib>
#include <vector>

namespace rv {

namespace {

constexpr int kHighNice = -10;

// Linux applies both the policy and the nice value to one thread; the process is all of
// its threads (sound threads may already run when the setting is read).
std::vector<pid_t> ThreadsOfProcess() {
  std::vector<pid_t> tids;
  if (DIR* dir = ::opendir("/proc/self/task")) {
    while (const dirent* entry = ::readdir(dir)) {
      const long tid = std::strtol(entry->d_name, nullptr, 10);
      if (tid > 0) tids.push_back(static_cast<pid_t>(tid));
    }
    ::closedir(dir);
  }
  if (tids.empty()) tids.push_back(0);  // 0: the calling thread
  return tids;
}

bool ApplyToThread(pid_t tid, const SchedulingRequest& request) {
  sched_param param{};
  param.sched_priority = request.rt_priority;
  bool granted = ::sched_setscheduler(tid, request.policy, &param) == 0;
  if (request.policy == SCHED_OTHER) {
    granted = ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), request.nice) == 0 && granted;
  }
  return granted;
}

}  // namespace

std::optional<PriorityClass> PriorityFromIndex(int16_t index) {
  switch (index) {
    case 0:
      return PriorityClass::kIdle;
    case 1:
      return PriorityClass::kNormal;
    case 2:
      return PriorityClass::kHigh;
    case 3:
      return PriorityClass::kRealtime;
    default:
      return std::nullopt;
  }
}

SchedulingRequest SchedulingFor(PriorityClass priority) {
  switch (priority) {
    case PriorityClass::kIdle:
      return {SCHED_IDLE, 0, 0};
    case PriorityClass::kNormal:
      return {SCHED_OTHER, 0, 0};
    case PriorityClass::kHigh:
      return {SCHED_OTHER, 0, kHighNice};
    case PriorityClass::kRealtime:
      break;
  }
  // The lowest real-time priority: above every ordinary process, below the system's own.
  return {SCHED_RR, ::sched_get_priority_min(SCHED_RR), 0};
}

bool ApplyProcessPriority(int16_t index) {
  const std::optional<PriorityClass> priority = PriorityFromIndex(index);
  if (!priority) return false;
  const SchedulingRequest request = SchedulingFor(*priority);
  bool granted = true;
  for (pid_t tid : ThreadsOfProcess()) granted = ApplyToThread(tid, request) && granted;
  return granted;
}

}  // namespace rv
