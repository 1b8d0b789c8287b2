// rv_map_wait: starts a program and reports how long it took until its window with a given
// caption was mapped, watched from the X server's side (MapNotify on the root window), and
// how much processor time the program had used by then. Much finer than polling with
// xdotool, whose own process starts compete with the program for the cores.
//
//   rv_map_wait [--keep] <caption> <program> [args...]
//
// Prints one line "pid <pid> map_us <wall> cpu_us <processor time of all threads>".
// Without --keep the program then gets SIGTERM and is waited for; with --keep it is left
// running (the caller ends it by its pid). Exit status 0 when the window appeared; a program
// that ends or shows no such window within 30 s is killed with its children.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int64_t kTimeoutUs = 30'000'000;

int64_t NowUs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1'000'000 + ts.tv_nsec / 1000;
}

// Processor time of every thread of a process in microseconds, from the scheduler's own
// nanosecond account (the first field of each thread's schedstat).
int64_t ProcessCpuUs(pid_t pid) {
  const std::string dir = "/proc/" + std::to_string(pid) + "/task";
  DIR* tasks = opendir(dir.c_str());
  if (tasks == nullptr) return -1;
  int64_t total_ns = 0;
  while (const dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream in(dir + "/" + entry->d_name + "/schedstat");
    int64_t ns = 0;
    if (in >> ns) total_ns += ns;
  }
  closedir(tasks);
  return total_ns / 1000;
}

std::string WindowName(Display* display, Window window) {
  const Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  for (const auto& [property, type] : {std::pair{net_wm_name, utf8}, {XA_WM_NAME, XA_STRING}}) {
    Atom actual = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1024, False, type, &actual,
                                          &format, &items, &after, &data);
    if (status == Success && data != nullptr) {
      std::string name(reinterpret_cast<char*>(data), items);
      XFree(data);
      if (!name.empty()) return name;
    }
  }
  return {};
}

pid_t Start(char** argv) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  setpgid(0, 0);  // a group of its own, so that a stuck start can be ended whole
  const int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
  }
  execv(argv[0], argv);
  _exit(127);
}

// Waits for a MapNotify of a top-level window named `caption`; false on timeout or when the
// program ended first.
bool WaitForMap(Display* display, const std::string& caption, pid_t pid, int64_t t0) {
  const int fd = ConnectionNumber(display);
  while (NowUs() - t0 < kTimeoutUs) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && WindowName(display, event.xmap.window) == caption) {
        return true;
      }
    }
    if (waitpid(pid, nullptr, WNOHANG) == pid) return false;
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, 5);
  }
  return false;
}

// SIGTERM is a closed window to the game: the regular shutdown runs. One that does not end
// within five seconds is killed.
void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  const int64_t t0 = NowUs();
  while (waitpid(pid, nullptr, WNOHANG) == 0) {
    if (NowUs() - t0 > 5'000'000) {
      kill(-pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      return;
    }
    usleep(2000);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  bool keep = false;
  if (argc > 1 && std::strcmp(argv[1], "--keep") == 0) {
    keep = true;
    ++first;
  }
  if (argc - first < 2) {
    std::fprintf(stderr, "usage: rv_map_wait [--keep] <caption> <program> [args...]\n");
    return 2;
  }
  const std::string caption = argv[first];
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "rv_map_wait: no X display\n");
    return 2;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  const int64_t t0 = NowUs();
  const pid_t pid = Start(argv + first + 1);
  if (pid < 0) return 2;
  const bool mapped = WaitForMap(display, caption, pid, t0);
  const int64_t map_us = NowUs() - t0;
  const int64_t cpu_us = ProcessCpuUs(pid);
  XCloseDisplay(display);
  std::printf("pid %d map_us %lld cpu_us %lld\n", int(pid), mapped ? (long long)map_us : -1LL,
              (long long)cpu_us);
  std::fflush(stdout);
  if (!mapped) {
    // Refused or failed: whatever it shows (a message box in a child) waits for nobody.
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return 1;
  }
  if (!keep) Stop(pid);
  return 0;
}
