#include "process_usage.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace rv::soak {

int64_t ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) != 0) continue;
    std::istringstream fields(line.substr(6));
    int64_t kb = -1;
    fields >> kb;
    return kb;
  }
  return -1;
}

int OpenDescriptors() {
  std::error_code ec;
  std::filesystem::directory_iterator listing("/proc/self/fd", ec);
  if (ec) return -1;
  int count = 0;
  for (const auto& entry : listing) {
    (void)entry;
    ++count;
  }
  return count - 1;  // the listing's own descriptor
}

}  // namespace rv::soak
