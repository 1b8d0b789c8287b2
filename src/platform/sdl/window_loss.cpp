#include "platform/sdl/window_loss.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace rv {

namespace {

using ErrorHandler = int (*)(Display*, XErrorEvent*);
using SetErrorHandler = ErrorHandler (*)(ErrorHandler);
using PutBackEvent = int (*)(Display*, XEvent*);

// Errors of other resources shown on standard error, at most: a flood of them says no more.
constexpr int kShownErrors = 8;

struct WatchState {
  void* xlib = nullptr;  // set once, before SDL's video starts
  std::atomic<Display*> display{nullptr};
  std::atomic<unsigned long> window{0};
  std::atomic<bool> lost{false};
  std::atomic<int> shown{0};
};

constinit WatchState watch_state;

bool IsWatched(Display* display, unsigned long window) {
  return window != 0 && window == watch_state.window.load() &&
         display == watch_state.display.load();
}

// No Xlib call here (not even XGetErrorText): the numbers are what the line can say.
int OnProtocolError(Display* display, XErrorEvent* error) {
  if (IsWatched(display, error->resourceid)) {
    if (!watch_state.lost.exchange(true)) {
      std::fprintf(stderr, "Ravolin: the window was lost (X error %d, request %d)\n",
                   error->error_code, error->request_code);
    }
    return 0;
  }
  // Once the window is gone, the errors that follow are of its parts (its GC, its parent).
  if (!watch_state.lost.load() && watch_state.shown.fetch_add(1) < kShownErrors) {
    std::fprintf(stderr, "Ravolin: X error %d (request %d.%d, resource 0x%lx) ignored\n",
                 error->error_code, error->request_code, error->minor_code, error->resourceid);
  }
  return 0;
}

// Runs where SDL queues an event, on whichever thread does so: looks only at window-manager
// events, which the game has no use for and which are dropped here.
int NoticeDestruction(void*, SDL_Event* event) {
  if (event->type != SDL_SYSWMEVENT) return 1;
  const SDL_SysWMmsg* message = event->syswm.msg;
  if (message != nullptr && message->subsystem == SDL_SYSWM_X11) {
    const XEvent& x = message->msg.x11.event;
    if (x.type == DestroyNotify && IsWatched(x.xany.display, x.xdestroywindow.window) &&
        !watch_state.lost.exchange(true)) {
      std::fprintf(stderr, "Ravolin: the window was destroyed by another program\n");
    }
  }
  return 0;
}

}  // namespace

bool WindowLoss::InstallBeforeVideo() {
  // Loaded once and kept: SDL opens the same copy by the same name.
  if (watch_state.xlib == nullptr) watch_state.xlib = ::dlopen("libX11.so.6", RTLD_LAZY);
  if (watch_state.xlib == nullptr) return false;
  auto set = reinterpret_cast<SetErrorHandler>(::dlsym(watch_state.xlib, "XSetErrorHandler"));
  if (set == nullptr) return false;
  set(&OnProtocolError);
  return true;
}

void WindowLoss::Watch(SDL_Window* window) {
  watch_state.window.store(0);
  watch_state.lost.store(false);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
      info.subsystem != SDL_SYSWM_X11) {
    return;
  }
  watch_state.display.store(info.info.x11.display);
  watch_state.window.store(info.info.x11.window);
  SDL_SetEventFilter(&NoticeDestruction, nullptr);
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

bool WindowLoss::Lost() const { return watch_state.lost.load(); }

void WindowLoss::BeforeDestroy() {
  Display* display = watch_state.display.load();
  const unsigned long window = watch_state.window.load();
  if (!Lost() || display == nullptr || window == 0 || watch_state.xlib == nullptr) return;
  auto put_back = reinterpret_cast<PutBackEvent>(::dlsym(watch_state.xlib, "XPutBackEvent"));
  if (put_back == nullptr) return;
  XEvent unmap{};
  unmap.xunmap.type = UnmapNotify;
  unmap.xunmap.send_event = True;
  unmap.xunmap.display = display;
  unmap.xunmap.event = window;
  unmap.xunmap.window = window;
  put_back(display, &unmap);
}

}  // namespace rv
