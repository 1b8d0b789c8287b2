#pragma once
// Another process taking an instance lock: a forked child tries the lock, reports through a
// pipe whether it got it, and holds it until the test lets it go, ends it, or kills it.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "storage/instance_lock.h"

namespace rv::test {

class LockHolder {
 public:
  explicit LockHolder(const std::filesystem::path& lock_file) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      auto lock = InstanceLock::TryAcquire(lock_file);
      const char got = (lock && lock->holds_lock()) ? 'y' : 'n';
      if (::write(ready[1], &got, 1) != 1) ::_exit(2);
      // Returns on the parent's byte or when the parent closes its end.
      char c;
      while (::read(release[0], &c, 1) < 0) {
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_fd_ = release[1];
    char got = 'n';
    acquired_ = ::read(ready[0], &got, 1) == 1 && got == 'y';
    ::close(ready[0]);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  ~LockHolder() { Release(); }

  bool acquired() const { return acquired_; }

  // Lets the child end normally; returns its exit status.
  int Finish() {
    const char go = 'x';
    if (pid_ <= 0 || ::write(release_fd_, &go, 1) != 1) return -1;
    return Reap();
  }
  // Ends the child as a crash would: the kernel drops its lock.
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    Reap();
  }
  // Lets the child go (if it still runs) and waits for it.
  void Release() {
    if (pid_ > 0) Reap();
  }

 private:
  int Reap() {
    if (release_fd_ >= 0) ::close(release_fd_);
    release_fd_ = -1;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  pid_t pid_ = -1;
  int release_fd_ = -1;
  bool acquired_ = false;
};

}  // namespace rv::test
