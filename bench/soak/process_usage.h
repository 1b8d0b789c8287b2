#pragma once
// What a long run watches of its own process: resident memory and open file descriptors.

#include <cstdint>

namespace rv::soak {

// VmRSS of /proc/self/status in kB; -1 when it cannot be read.
int64_t ResidentKb();
// Entries of /proc/self/fd, less the one the listing itself holds open; -1 when unreadable.
int OpenDescriptors();

}  // namespace rv::soak
