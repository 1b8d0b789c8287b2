#include "storage/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "storage/stored_file.h"

namespace rv {
namespace {

// flock without waiting; the result is 0 or the errno of the failure. A non-blocking flock
// returns at once, so an interruption is only retried a bounded number of times.
int FlockNoWait(int fd, int operation) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    if (::flock(fd, operation | LOCK_NB) == 0) return 0;
    if (errno != EINTR) return errno;
  }
  return EINTR;
}

void Explain(FileFailure* problem, const StoredFileOpen& opened,
             const std::filesystem::path& lock_file) {
  if (problem) *problem = opened.Failure(FileAction::kLock, lock_file);
}

void Explain(FileFailure* problem, int err, const std::filesystem::path& lock_file) {
  if (problem) *problem = FileFailure{FileAction::kLock, lock_file, err};
}

// A lock file is never opened or made through a link: a planted one would have the
// program create files wherever it points.
constexpr int kNoLinks = O_NOFOLLOW;

bool CannotWrite(const StoredFileOpen& opened) {
  return opened.error == EACCES || opened.error == EROFS || opened.error == EPERM;
}

}  // namespace

std::optional<InstanceLock> InstanceLock::TryAcquire(const std::filesystem::path& lock_file,
                                                     FileFailure* problem) {
  if (problem) *problem = {};
  StoredFileOpen opened = OpenStoredFile(lock_file, O_RDWR | O_CREAT | kNoLinks);
  // A lock file that exists but may not be written (another user's, a read-only folder)
  // can still be locked through a read-only descriptor.
  if (!opened.ok() && CannotWrite(opened)) opened = OpenStoredFile(lock_file, O_RDONLY | kNoLinks);
  // Missing and impossible to create (a read-only folder, or none): nobody can hold it, so
  // nobody does.
  if (opened.missing()) return InstanceLock(-1);
  if (!opened.ok()) {
    Explain(problem, opened, lock_file);
    return std::nullopt;
  }
  const int err = FlockNoWait(opened.fd, LOCK_EX);
  if (err == 0) return InstanceLock(opened.fd);
  ::close(opened.fd);
  if (err != EWOULDBLOCK) Explain(problem, err, lock_file);
  return std::nullopt;
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

bool IsLockHeldElsewhere(const std::filesystem::path& lock_file, FileFailure* problem) {
  if (problem) *problem = {};
  const StoredFileOpen opened = OpenStoredFile(lock_file, O_RDONLY | kNoLinks);
  if (opened.missing()) return false;
  if (!opened.ok()) {
    Explain(problem, opened, lock_file);
    return true;
  }
  const int err = FlockNoWait(opened.fd, LOCK_SH);
  if (err == 0) ::flock(opened.fd, LOCK_UN);
  ::close(opened.fd);
  if (err != 0 && err != EWOULDBLOCK) Explain(problem, err, lock_file);
  return err != 0;
}

}  // namespace rv
