#pragma once
// Doing something as a second user, the way another account on the machine would: a forked
// child drops to that user's ids and runs the step. Only root can change its user, so the
// tests that need one skip with this message otherwise.

#include <grp.h>
#include <pwd.h>
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
inline constexpr const char* kNeedsRootForAccountsMessage =
    "needs root: the folders belong to system accounts (daemon, nobody), which only root can "
    "arrange";

// The ids of an account and a group of the system's own databases (Debian's base-passwd
// always has daemon and nobody, with the groups daemon and nogroup); -1 when missing.
inline uid_t UidOf(const char* name) {
  const passwd* entry = ::getpwnam(name);
  return entry != nullptr ? entry->pw_uid : static_cast<uid_t>(-1);
}
inline gid_t GidOf(const char* name) {
  const group* entry = ::getgrnam(name);
  return entry != nullptr ? entry->gr_gid : static_cast<gid_t>(-1);
}

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
