#include "config/config_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "storage/stored_file.h"

namespace rv {

namespace {

void Report(std::string* error, const char* action, const std::filesystem::path& file, int err) {
  if (error) *error = DescribeFileError(action, file, err);
}

// Never through a link: whoever could put one in the data folder would have the setting
// written into a file of their choosing.
constexpr int kNoLinks = O_NOFOLLOW;

// Read-write as the game always opened it, which creates a missing file; a file the player
// may only read is still read, so that a read-only setting is applied rather than ignored.
StoredFileOpen OpenForReading(const std::filesystem::path& file) {
  StoredFileOpen opened = OpenStoredFile(file, O_RDWR | O_CREAT | kNoLinks);
  if (!opened.ok() && (opened.error == EACCES || opened.error == EROFS)) {
    opened = OpenStoredFile(file, O_RDONLY | kNoLinks);
  }
  return opened;
}

}  // namespace

int16_t ReadConfigValue(const std::filesystem::path& file, std::string* error) {
  if (error) error->clear();
  const StoredFileOpen opened = OpenForReading(file);
  if (!opened.ok()) {
    if (error) *error = DescribeFileProblem("cannot open", file, opened.Reason());
    return 0;
  }
  const int fd = opened.fd;
  uint8_t bytes[2] = {0, 0};
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = ::pread(fd, bytes + got, sizeof bytes - got, static_cast<off_t>(got));
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      Report(error, "cannot read", file, errno);
      ::close(fd);
      return 0;
    }
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)));
}

bool WriteConfigValue(const std::filesystem::path& file, int16_t value, std::string* error) {
  if (error) error->clear();
  const StoredFileOpen opened = OpenStoredFile(file, O_RDWR | O_CREAT | kNoLinks);
  if (!opened.ok()) {
    if (error) *error = DescribeFileProblem("cannot open", file, opened.Reason());
    return false;
  }
  const int fd = opened.fd;
  const auto raw = static_cast<uint16_t>(value);
  const uint8_t bytes[2] = {static_cast<uint8_t>(raw & 0xFF), static_cast<uint8_t>(raw >> 8)};
  std::size_t done = 0;
  while (done < sizeof bytes) {
    const ssize_t n = ::pwrite(fd, bytes + done, sizeof bytes - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      Report(error, "cannot write", file, errno);
      ::close(fd);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) {
    Report(error, "cannot write", file, errno);
    return false;
  }
  return true;
}

}  // namespace rv
