#include "platform/sdl/hangup_signal.h"

#include <signal.h>

namespace rv {

namespace {

// raise() is async-signal-safe; SDL's SIGTERM handler only marks a quit as pending.
void OnHangup(int) { ::raise(SIGTERM); }

}  // namespace

void ForwardHangupAsTerminate() {
  struct sigaction current {};
  if (::sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
  struct sigaction forward {};
  forward.sa_handler = OnHangup;
  sigemptyset(&forward.sa_mask);
  forward.sa_flags = SA_RESTART;
  ::sigaction(SIGHUP, &forward, nullptr);
}

}  // namespace rv
