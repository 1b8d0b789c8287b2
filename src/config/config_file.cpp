#include "config/config_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

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
  std::vector<uint8_t> bytes;
  const bool read = ReadToEnd(opened.fd, bytes, 2);
  if (!read) Report(error, "cannot read", file, errno);
  ::close(opened.fd);
  bytes.resize(2);  // missing bytes read as 0
  return read ? static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | (bytes[1] << 8))) : 0;
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
  // The descriptor is new, so the bytes land at offset 0.
  if (!WriteAllBytes(fd, bytes, sizeof bytes)) {
    Report(error, "cannot write", file, errno);
    ::close(fd);
    return false;
  }
  if (::close(fd) != 0) {
    Report(error, "cannot write", file, errno);
    return false;
  }
  return true;
}

}  // namespace rv
