#pragma once
// Advisory locks that keep the game and the configuration dialog apart. Each program holds
// an exclusive flock on its own lock file in the data folder while it runs; the kernel
// drops the lock when the process ends in any way, so a lock file left on disk by a killed
// program never blocks the next start.

#include <filesystem>
#include <optional>
#include <string>

#include "storage/file_failure.h"
#include "storage/player_files.h"

namespace rv {

class InstanceLock {
 public:
  // Creates the lock file when missing and takes an exclusive lock on it without waiting.
  // nullopt when another holder has it (another process, or another open of the same file
  // in this process), and also whenever the lock cannot be taken or verified (a file that
  // exists but may not be opened, a file system refusing the lock, a FIFO or a device in
  // the file's place, a symbolic link, which is never followed): another copy may then be
  // running. `problem`, when given, names the
  // file and the reason in those cases, and is cleared otherwise. Only when the file does not
  // exist and cannot be created (a read-only folder) can no rival hold it: the result then
  // holds nothing, holds_lock() is false, and the caller runs unguarded.
  static std::optional<InstanceLock> TryAcquire(const std::filesystem::path& lock_file,
                                                FileFailure* problem = nullptr);

  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();  // releases; the file stays on disk

  bool holds_lock() const { return fd_ >= 0; }

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  void Release();

  int fd_ = -1;
};

// True when some holder has the lock on lock_file. The probe opens the file read-only (never
// creating it: a missing file is not held), tries a shared lock without waiting and drops it
// at once, so the holder's exclusive lock is never disturbed. A lock that this process holds
// through an InstanceLock counts as held too, and so does one that cannot be verified (see
// TryAcquire; `problem` as there).
bool IsLockHeldElsewhere(const std::filesystem::path& lock_file, FileFailure* problem = nullptr);

}  // namespace rv
