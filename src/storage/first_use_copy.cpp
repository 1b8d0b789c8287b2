#include "storage/first_use_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "storage/stored_file.h"

namespace rv {

namespace fs = std::filesystem;

namespace {

FirstUseCopy Outcome(FirstUseCopy::Result result, const fs::path& file, int err = 0) {
  return FirstUseCopy{result, file, err};
}

enum class StreamEnd { kDone, kReadFailed, kWriteFailed, kTooLarge };

// Copies at most `limit` bytes from `in` to `out`; errno is set after a failure. The source
// may have grown since it was measured, so one byte past the limit is looked for as well.
StreamEnd Stream(int in, int out, std::uintmax_t limit) {
  const std::size_t most = static_cast<std::size_t>(std::min<std::uintmax_t>(limit, SIZE_MAX - 1));
  std::vector<uint8_t> bytes;
  if (!ReadToEnd(in, bytes, most + 1)) return StreamEnd::kReadFailed;
  if (bytes.size() > limit) return StreamEnd::kTooLarge;
  return WriteAllBytes(out, bytes.data(), bytes.size()) ? StreamEnd::kDone
                                                        : StreamEnd::kWriteFailed;
}

// Links the finished copy into place. Someone else's file in the place is just as good, as
// long as it is a file of its own and not a link.
FirstUseCopy LinkIntoPlace(const std::string& temp, const fs::path& target) {
  if (::link(temp.c_str(), target.c_str()) == 0)
    return Outcome(FirstUseCopy::Result::kCopied, target);
  const int err = errno;
  struct stat st {};
  if (err == EEXIST && ::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    return Outcome(FirstUseCopy::Result::kAlreadyThere, target);
  }
  return Outcome(FirstUseCopy::Result::kFailed, target, err == EEXIST ? EISDIR : err);
}

}  // namespace

FirstUseCopy CopyToNewFile(const fs::path& source, const fs::path& target, std::uintmax_t limit) {
  const StoredFileOpen in = OpenStoredFile(source, O_RDONLY);
  if (!in.ok()) return Outcome(FirstUseCopy::Result::kNothingToCopy, source);
  struct stat st {};
  if (::fstat(in.fd, &st) == 0 && static_cast<std::uintmax_t>(st.st_size) > limit) {
    ::close(in.fd);
    return Outcome(FirstUseCopy::Result::kTooLarge, source);
  }
  std::string temp = target.string() + ".XXXXXX";
  const int out = ::mkostemp(temp.data(), O_CLOEXEC);
  if (out < 0) {
    const int err = errno;
    ::close(in.fd);
    return Outcome(FirstUseCopy::Result::kFailed, target, err);
  }
  StreamEnd end = StreamEnd::kWriteFailed;
  if (::fchmod(out, 0644) == 0) end = Stream(in.fd, out, limit);
  if (end == StreamEnd::kDone && ::fsync(out) != 0) end = StreamEnd::kWriteFailed;
  const int err = errno;
  ::close(in.fd);
  ::close(out);
  FirstUseCopy outcome;
  switch (end) {
    case StreamEnd::kDone:
      outcome = LinkIntoPlace(temp, target);
      break;
    case StreamEnd::kReadFailed:
      outcome = Outcome(FirstUseCopy::Result::kFailed, source, err);
      break;
    case StreamEnd::kWriteFailed:
      outcome = Outcome(FirstUseCopy::Result::kFailed, target, err);
      break;
    case StreamEnd::kTooLarge:
      outcome = Outcome(FirstUseCopy::Result::kTooLarge, source);
      break;
  }
  ::unlink(temp.c_str());
  return outcome;
}

}  // namespace rv
