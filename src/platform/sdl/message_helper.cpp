#include "platform/sdl/message_helper.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sdl/termination_signals.h"

extern char** environ;

namespace rv {

namespace {

constexpr long kPollNs = 10'000'000;  // how often the wait looks at the child and the request
constexpr int kGraceTicks = 100;      // ten milliseconds each: a second to go after SIGTERM

void Nap() {
  const timespec pause{0, kPollNs};
  ::nanosleep(&pause, nullptr);
}

// posix_spawn rather than fork: the game has an audio thread, and the child runs nothing of
// ours before exec. The signals the game ignores are the defaults again in the box.
bool Spawn(const std::filesystem::path& helper, std::vector<std::string> args, pid_t* pid) {
  args.insert(args.begin(), helper.string());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawnattr_t attr;
  if (::posix_spawnattr_init(&attr) != 0) return false;
  DefaultSignalsForChild(&attr);
  const int failed = ::posix_spawn(pid, helper.c_str(), nullptr, &attr, argv.data(), environ);
  ::posix_spawnattr_destroy(&attr);
  return failed == 0;
}

// The child's status once it has ended, or false while it runs (or cannot be waited for,
// with *gone set).
bool Reaped(pid_t pid, int* status, bool* gone) {
  const pid_t r = ::waitpid(pid, status, WNOHANG);
  if (r == pid) return true;
  if (r < 0 && errno != EINTR) *gone = true;
  return false;
}

// Takes the box down: asked first, then forced.
void EndBox(pid_t pid) {
  ::kill(pid, SIGTERM);
  int status = 0;
  bool gone = false;
  for (int i = 0; i < kGraceTicks && !gone; ++i) {
    if (Reaped(pid, &status, &gone)) return;
    Nap();
  }
  if (gone) return;
  ::kill(pid, SIGKILL);
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

MessageBoxOutcome Outcome(int status) {
  if (!WIFEXITED(status)) return MessageBoxOutcome::kNotRun;
  if (WEXITSTATUS(status) == 0) return MessageBoxOutcome::kClosed;
  if (WEXITSTATUS(status) == kMessageHelperNoDisplayStatus) return MessageBoxOutcome::kNoDisplay;
  return MessageBoxOutcome::kNotRun;
}

}  // namespace

std::vector<std::string> MessageHelperArguments(std::string_view caption, std::string_view text,
                                                MessageIcon icon) {
  return {icon == MessageIcon::kWarning ? "--warning" : "--plain", "--", std::string(caption),
          std::string(text)};
}

MessageBoxOutcome RunMessageBox(const std::filesystem::path& helper, std::string_view caption,
                                std::string_view text, MessageIcon icon,
                                const std::function<bool()>& end_requested) {
  if (::access(helper.c_str(), X_OK) != 0) return MessageBoxOutcome::kNotRun;
  pid_t pid = 0;
  if (!Spawn(helper, MessageHelperArguments(caption, text, icon), &pid)) {
    return MessageBoxOutcome::kNotRun;
  }
  int status = 0;
  bool gone = false;
  while (!Reaped(pid, &status, &gone)) {
    if (gone) return MessageBoxOutcome::kNotRun;
    if (end_requested && end_requested()) {
      EndBox(pid);
      return MessageBoxOutcome::kEnded;
    }
    Nap();
  }
  return Outcome(status);
}

bool RunMessageHelper(const std::filesystem::path& helper, std::string_view caption,
                      std::string_view text, MessageIcon icon) {
  return RunMessageBox(helper, caption, text, icon, {}) == MessageBoxOutcome::kClosed;
}

}  // namespace rv
