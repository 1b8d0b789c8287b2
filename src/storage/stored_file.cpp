#include "storage/stored_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace rv {

namespace {

constexpr int kCreateAttempts = 4;

bool IsSymbolicLink(const std::filesystem::path& file) {
  struct stat st {};
  return ::lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Opens an existing file, or makes a new one with O_EXCL, never both in one call: O_EXCL
// refuses any name that exists, a dangling link included, so the file made is always new and
// ours. A name that appears or goes between the two calls is tried again a few times.
int OpenOrCreateNew(const std::filesystem::path& file, int flags, mode_t mode) {
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    int fd = ::open(file.c_str(), flags & ~O_CREAT);
    if (fd >= 0 || errno != ENOENT) return fd;
    fd = ::open(file.c_str(), flags | O_EXCL, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

std::string StoredFileOpen::Reason() const {
  if (not_regular) return std::string(kNotRegularReason);
  if (link) return std::string(kSymbolicLinkReason);
  return std::strerror(error);
}

bool ExistsAsNonRegular(const std::filesystem::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

StoredFileOpen OpenStoredFile(const std::filesystem::path& file, int flags, mode_t mode) {
  StoredFileOpen result;
  // Looked at before the open, so that a device is never opened at all; the check after the
  // open closes the gap in which the name could be replaced.
  if (ExistsAsNonRegular(file)) {
    result.not_regular = true;
    return result;
  }
  // O_NONBLOCK makes the open of a FIFO return at once; it means nothing to a regular file.
  // An interrupted open is not retried: the caller decides, and a shutdown may be pending.
  const bool no_links = (flags & O_NOFOLLOW) != 0;
  const int open_flags = flags | O_NONBLOCK | O_CLOEXEC;
  const int fd = no_links && (flags & O_CREAT) != 0 ? OpenOrCreateNew(file, open_flags, mode)
                                                    : ::open(file.c_str(), open_flags, mode);
  if (fd < 0) {
    result.error = errno;
    result.link = no_links && result.error == ELOOP && IsSymbolicLink(file);
    return result;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    result.error = errno;
    ::close(fd);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.not_regular = true;
    ::close(fd);
    return result;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  result.fd = fd;
  return result;
}

bool ReadStoredFile(const std::filesystem::path& file, std::vector<uint8_t>& bytes,
                    FileFailure* failure) {
  bytes.clear();
  const StoredFileOpen opened = OpenStoredFile(file, O_RDONLY);
  if (!opened.ok()) {
    if (failure) *failure = opened.Failure(FileAction::kOpen, file);
    return false;
  }
  const bool read = ReadToEnd(opened.fd, bytes);
  if (!read && failure) *failure = FileFailure{FileAction::kRead, file, errno};
  ::close(opened.fd);
  return read;
}

bool ReadStoredFile(const std::filesystem::path& file, std::vector<uint8_t>& bytes,
                    std::string* error) {
  FileFailure failure;
  const bool read = ReadStoredFile(file, bytes, &failure);
  if (!read && error) *error = failure.English();
  return read;
}

bool ReadToEnd(int fd, std::vector<uint8_t>& bytes, std::size_t limit) {
  uint8_t chunk[16 * 1024];
  std::size_t got = 0;
  while (got < limit) {
    const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, limit - got));
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.insert(bytes.end(), chunk, chunk + n);
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAllBytes(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, bytes + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string DescribeFileError(const std::string& action, const std::filesystem::path& file,
                              int err) {
  return DescribeFileProblem(action, file, std::strerror(err));
}

std::string DescribeFileProblem(const std::string& action, const std::filesystem::path& file,
                                const std::string& reason) {
  return action + " " + file.string() + ": " + reason;
}

}  // namespace rv
