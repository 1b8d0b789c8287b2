#include "app/rv_sim/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

namespace rv::sim {

void HoldClosedStandardDescriptors() {
  // open() takes the lowest free number, so the closed ones are filled in order.
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) ::open("/dev/null", O_RDONLY);
  }
}

bool FinishOutput(std::ostream& out, std::ostream& err) {
  errno = 0;
  out.flush();
  int problem = errno;
  bool written = !out.fail();
  if (std::fflush(stdout) != 0) {
    written = false;
    if (problem == 0) problem = errno;
  }
  if (std::ferror(stdout) != 0) written = false;
  if (written) return true;
  err << "rv_sim: cannot write the results to standard output"
      << (problem != 0 ? std::string(": ") + std::strerror(problem) : std::string()) << "\n";
  return false;
}

}  // namespace rv::sim
