// Processor time one wake-up from a 20 ms sleep costs on this machine, in microseconds: the
// floor under the game's idle use, which wakes every 20 ms to service events and once per
// device buffer to mix sound. On a virtual machine a wake-up can cost many times what it
// costs on bare hardware, which decides whether an idle goal can be met at all.
#include <time.h>

#include <cstdio>

namespace {

// This thread's processor time in nanoseconds: the scheduler's account, the same figure the
// start-up script reads from each thread's schedstat.
unsigned long long ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<unsigned long long>(t.tv_sec) * 1'000'000'000ull +
         static_cast<unsigned long long>(t.tv_nsec);
}

}  // namespace

int main() {
  constexpr int kWakes = 150;
  const timespec period{0, 20'000'000};
  const unsigned long long before = ThreadCpuNs();
  for (int i = 0; i < kWakes; ++i) nanosleep(&period, nullptr);
  const unsigned long long used = ThreadCpuNs() - before;
  if (used == 0) return 1;
  std::printf("%.1f\n", double(used) / 1000.0 / kWakes);
  return 0;
}
