#include "platform/sdl/display_loss.h"

#include <dlfcn.h>
#include <unistd.h>

#include "platform/sdl/termination_signals.h"

namespace rv {

namespace {

// Xlib's types, kept opaque: SDL loads the library at run time and so does this file.
using IoErrorHandler = int (*)(void* display);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);

int OnDisplayLost(void*) {
  constexpr char kLine[] = "Ravolin: the connection to the display was lost\n";
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kLine, sizeof kLine - 1);
  TerminationSignals::EndAbruptly(kDisplayLostStatus);
}

}  // namespace

bool WatchForDisplayLoss() {
  // Only the copy already loaded (by SDL, or linked in) is of use; none is loaded here.
  void* xlib = ::dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (xlib == nullptr) return false;
  auto set = reinterpret_cast<SetIoErrorHandler>(::dlsym(xlib, "XSetIOErrorHandler"));
  if (set == nullptr) return false;
  set(&OnDisplayLost);
  return true;
}

}  // namespace rv
