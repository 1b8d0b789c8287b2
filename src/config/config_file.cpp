#include "config/config_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace rv {

namespace {

void Report(std::string* error, const char* action, const std::filesystem::path& file, int err) {
  if (error) *error = std::string(action) + " " + file.string() + ": " + std::strerror(err);
}

}  // namespace

int16_t ReadConfigValue(const std::filesystem::path& file, std::string* error) {
  if (error) error->clear();
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    Report(error, "cannot open", file, errno);
    return 0;
  }
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
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    Report(error, "cannot open", file, errno);
    return false;
  }
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
