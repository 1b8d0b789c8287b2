#include "config/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace rv {
namespace {

// flock retried across signals; the result is 0 or the errno of the failure.
int FlockNoWait(int fd, int operation) {
  for (;;) {
    if (::flock(fd, operation | LOCK_NB) == 0) return 0;
    if (errno != EINTR) return errno;
  }
}

int OpenForLock(const std::filesystem::path& lock_file, int flags) {
  for (;;) {
    const int fd = ::open(lock_file.c_str(), flags | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EINTR) return fd;
  }
}

}  // namespace

std::optional<InstanceLock> InstanceLock::TryAcquire(const std::filesystem::path& lock_file) {
  int fd = OpenForLock(lock_file, O_RDWR | O_CREAT);
  // A lock file that exists but may not be written (another user's, a read-only folder)
  // can still be locked through a read-only descriptor.
  if (fd < 0) fd = OpenForLock(lock_file, O_RDONLY);
  if (fd < 0) return InstanceLock(-1);
  const int err = FlockNoWait(fd, LOCK_EX);
  if (err == 0) return InstanceLock(fd);
  ::close(fd);
  if (err == EWOULDBLOCK) return std::nullopt;
  // A file system without flock support: nobody can lock it, so nobody holds it.
  return InstanceLock(-1);
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

InstanceLock::~InstanceLock() { Release(); }

void InstanceLock::Release() {
  if (fd_ < 0) return;
  // Closing the only descriptor of the open file drops the flock.
  ::close(fd_);
  fd_ = -1;
}

bool IsLockHeldElsewhere(const std::filesystem::path& lock_file) {
  const int fd = OpenForLock(lock_file, O_RDONLY);
  if (fd < 0) return false;
  const int err = FlockNoWait(fd, LOCK_SH);
  if (err == 0) ::flock(fd, LOCK_UN);
  ::close(fd);
  return err == EWOULDBLOCK;
}

}  // namespace rv
