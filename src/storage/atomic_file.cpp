#include "storage/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "storage/stored_file.h"

namespace rv {

namespace {

constexpr std::size_t kTemporarySuffixLength = 6;  // mkstemp's XXXXXX
constexpr int kCreateAttempts = 4;

std::filesystem::path FolderOf(const std::filesystem::path& target) {
  std::filesystem::path folder = target.parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

// The folder's own entry is synced so that the rename itself survives a power cut.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A writer holds an exclusive flock on its temporary file until the rename: a temporary file
// whose lock can be taken belongs to a writer that died, and goes.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(FolderOf(target), ec)) {
    if (!IsTemporaryNameOf(target, entry.path().filename().string())) continue;
    const int fd = ::open(entry.path().c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      ::unlink(entry.path().c_str());
    }
    ::close(fd);
  }
}

// A locked temporary file that is still linked: the cleaner of another writer may unlink a
// file in the moment between its creation and its lock, so an unlinked one is made anew.
int CreateLockedTemporary(const std::filesystem::path& target, std::string& name, int& err) {
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    name = (FolderOf(target) / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
      err = errno;
      return -1;
    }
    struct stat st {};
    if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
    ::close(fd);
  }
  err = EAGAIN;
  return -1;
}

}  // namespace

bool IsTemporaryNameOf(const std::filesystem::path& target, const std::string& name) {
  const std::string prefix = "." + target.filename().string() + ".";
  if (name.size() != prefix.size() + kTemporarySuffixLength || !name.starts_with(prefix)) {
    return false;
  }
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; });
}

std::filesystem::path ResolveWriteTarget(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(file, ec)) return file;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(file, ec);
  return ec ? file : resolved;
}

FileResult ReplaceFileAtomically(const std::filesystem::path& target,
                                 std::span<const uint8_t> bytes) {
  if (ExistsAsNonRegular(target)) {
    return {false, DescribeFileProblem("cannot write", target, std::string(kNotRegularReason))};
  }
  mode_t mode = 0644;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
    if (::access(target.c_str(), W_OK) != 0)
      return {false, DescribeFileError("cannot write", target, errno)};
  } else if (errno != ENOENT) {
    return {false, DescribeFileError("cannot inspect", target, errno)};
  }
  RemoveStaleTemporaries(target);

  std::string temp;
  int err = 0;
  const int fd = CreateLockedTemporary(target, temp, err);
  if (fd < 0)
    return {false, DescribeFileError("cannot create a temporary file beside", target, err)};
  bool ok = ::fchmod(fd, mode) == 0 && WriteAllBytes(fd, bytes.data(), bytes.size()) &&
            ::fsync(fd) == 0 && ::rename(temp.c_str(), target.c_str()) == 0;
  err = errno;
  if (!ok) ::unlink(temp.c_str());
  // Closed only after the rename, so that no cleaner takes the file for a dead writer's.
  ::close(fd);
  if (!ok) return {false, DescribeFileError("cannot write", target, err)};
  SyncFolder(FolderOf(target));
  return {};
}

}  // namespace rv
