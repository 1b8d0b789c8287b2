#include "platform/sdl/termination_signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace rv {

namespace {

constexpr size_t kMaxMarkerPath = 4096;

// Lock-free atomics and a plain buffer: all a handler may touch.
struct SignalState {
  std::atomic<int> requested{0};  // the last signal recorded, or 0
  std::atomic<int> recording{0};  // open RecordOnly scopes, plus one once the loop runs
  std::atomic<bool> loop_running{false};
  std::atomic<int> ending_at_once{0};  // open EndAtOnce scopes
  std::atomic<bool> has_marker{false};
  char marker[kMaxMarkerPath] = {};
};

// The one process-wide state: a handler can reach nothing else.
constinit SignalState signal_state;

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

void OnTerminate(int signal) {
  if (signal_state.ending_at_once.load() > 0 || signal_state.recording.load() == 0) {
    TerminationSignals::EndAbruptly(kSignalExitBase + signal);
  }
  signal_state.requested.store(signal);
}

void Handle(int signal, bool keep_ignored) {
  struct sigaction current {};
  if (keep_ignored && ::sigaction(signal, nullptr, &current) == 0 &&
      current.sa_handler == SIG_IGN) {
    return;
  }
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  // The waits that look at a request poll for it; the libraries below need not see EINTR.
  action.sa_flags = SA_RESTART;
  ::sigaction(signal, &action, nullptr);
}

void Ignore(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_IGN;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
}

constexpr int kIgnored[] = {SIGPIPE, SIGUSR1, SIGUSR2};

}  // namespace

TerminationSignals::TerminationSignals() {
  for (int s : kIgnored) Ignore(s);
  Handle(SIGTERM, false);
  Handle(SIGINT, true);
  // Ctrl+\ in the terminal: its default would dump core and leave the marker behind.
  Handle(SIGQUIT, true);
  Handle(SIGHUP, true);
}

void TerminationSignals::RemoveOnAbruptEnd(const std::filesystem::path& file) {
  signal_state.has_marker.store(false);
  const std::string& name = file.native();
  if (name.empty() || name.size() >= kMaxMarkerPath) return;
  std::memcpy(signal_state.marker, name.c_str(), name.size() + 1);
  signal_state.has_marker.store(true);
}

void TerminationSignals::HandOverToEventLoop() {
  if (!signal_state.loop_running.exchange(true)) signal_state.recording.fetch_add(1);
}

bool TerminationSignals::Requested() const { return signal_state.requested.load() != 0; }

bool TerminationSignals::TakeRequest() { return signal_state.requested.exchange(0) != 0; }

TerminationSignals::RecordOnly::RecordOnly() { signal_state.recording.fetch_add(1); }
TerminationSignals::RecordOnly::~RecordOnly() { signal_state.recording.fetch_sub(1); }

TerminationSignals::EndAtOnce::EndAtOnce() { signal_state.ending_at_once.fetch_add(1); }
TerminationSignals::EndAtOnce::~EndAtOnce() { signal_state.ending_at_once.fetch_sub(1); }

void TerminationSignals::EndAbruptly(int status) {
  if (signal_state.has_marker.load()) ::unlink(signal_state.marker);
  ::_exit(status);
}

void DefaultSignalsForChild(posix_spawnattr_t* attr) {
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int s : kIgnored) sigaddset(&defaults, s);
  posix_spawnattr_setsigdefault(attr, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(attr, &none);
  short flags = 0;
  posix_spawnattr_getflags(attr, &flags);
  posix_spawnattr_setflags(attr, flags | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
}

}  // namespace rv
