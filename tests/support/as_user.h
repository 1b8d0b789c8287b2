#pragma once
// Doing something as a second user, the way another account on the machine would: a forked
// child drops to that user's ids and runs the step. Only root can change its user, so the
// tests that need one skip with this message otherwise.

#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace rv::test {

// The unprivileged user the other tests already run as ("nobody" on Debian), and a second
// ordinary user without an account, for cases between two users neither of whom is root.
inline constexpr uid_t kOtherUser = 65534;
inline constexpr uid_t kThirdUser = 65533;

inline constexpr const char* kNeedsRootMessage =
    "needs root: a second user (uid 65534) plants the files, which only root can arrange";

// Runs `step` in a child as `uid` (with that number as its group too and no other groups)
// and returns whether it reported success. A child that hangs is killed after `seconds`.
inline bool RunAsUser(uid_t uid, const std::function<bool()>& step, unsigned seconds = 20) {
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    ::alarm(seconds);
    if (::setgroups(0, nullptr) != 0 || ::setresgid(uid, uid, uid) != 0 ||
        ::setresuid(uid, uid, uid) != 0) {
      ::_exit(3);
    }
    ::_exit(step() ? 0 : 1);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace rv::test
