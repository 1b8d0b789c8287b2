#include "game/ranking/ranking_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace rv {

namespace {

std::string Describe(const std::string& action, const std::filesystem::path& file, int err) {
  return action + " " + file.string() + ": " + std::strerror(err);
}

void PutLe(uint8_t* out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t GetLe(const uint8_t* in, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(in[i]) << (8 * i);
  return v;
}

// Reads until `size` bytes or the end of the file; false on a read error.
bool ReadFully(int fd, uint8_t* out, std::size_t size, std::size_t& got) {
  got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, out + got, size - got);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteFully(int fd, const uint8_t* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

struct OldFile {
  bool exists = false;
  mode_t mode = 0644;
  std::vector<uint8_t> tail;  // bytes after offset 2159
};

FileResult ReadOldFile(const std::filesystem::path& file, OldFile& old) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return {};
    return {false, Describe("cannot open", file, errno)};
  }
  old.exists = true;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return {false, Describe("cannot inspect", file, err)};
  }
  old.mode = st.st_mode & 07777;
  const off_t size = st.st_size;
  if (size > static_cast<off_t>(kRankingFileSize)) {
    old.tail.resize(static_cast<std::size_t>(size) - kRankingFileSize);
    std::size_t got = 0;
    const bool read_ok = ::lseek(fd, static_cast<off_t>(kRankingFileSize), SEEK_SET) >= 0 &&
                         ReadFully(fd, old.tail.data(), old.tail.size(), got);
    if (!read_ok) {
      const int err = errno;
      ::close(fd);
      return {false, Describe("cannot read", file, err)};
    }
    old.tail.resize(got);
  }
  ::close(fd);
  return {};
}

// The folder's own entry is synced so that the rename itself survives a power cut.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::array<uint8_t, kRankingFileSize> EncodeRanking(const RankingTables& tables) {
  std::array<uint8_t, kRankingFileSize> bytes{};
  for (int i = 0; i < kRankEntries; ++i) {
    PutLe(&bytes[4 * i], static_cast<uint32_t>(tables.RankScore[i]), 4);
    PutLe(&bytes[kRankMovesOffset + 8 * i], std::bit_cast<uint64_t>(tables.RankMoves[i]), 8);
    PutLe(&bytes[kRankTimeOffset + 4 * i], static_cast<uint32_t>(tables.RankTime[i]), 4);
  }
  return bytes;
}

RankingTables DecodeRanking(const uint8_t* bytes, std::size_t size) {
  std::array<uint8_t, kRankingFileSize> padded{};
  std::memcpy(padded.data(), bytes, std::min(size, kRankingFileSize));
  RankingTables tables;
  for (int i = 0; i < kRankEntries; ++i) {
    tables.RankScore[i] = static_cast<int32_t>(GetLe(&padded[4 * i], 4));
    tables.RankMoves[i] = std::bit_cast<double>(GetLe(&padded[kRankMovesOffset + 8 * i], 8));
    tables.RankTime[i] = static_cast<int32_t>(GetLe(&padded[kRankTimeOffset + 4 * i], 4));
  }
  return tables;
}

RankingLoad LoadRankingFile(const std::filesystem::path& file) {
  RankingLoad result;
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    result.ok = false;
    result.error = Describe("cannot open the ranking file", file, errno);
    return result;
  }
  std::array<uint8_t, kRankingFileSize> bytes{};
  std::size_t got = 0;
  const bool read_ok = ReadFully(fd, bytes.data(), bytes.size(), got);
  const int err = errno;
  ::close(fd);
  if (!read_ok) {
    result.ok = false;
    result.error = Describe("cannot read the ranking file", file, err);
    return result;
  }
  result.tables = DecodeRanking(bytes.data(), got);
  return result;
}

FileResult WriteRankingFile(const std::filesystem::path& file, const RankingTables& tables) {
  // A link keeps pointing at the ranking: the new file replaces the link's target.
  std::error_code ec;
  std::filesystem::path target = file;
  if (std::filesystem::is_symlink(file, ec)) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(file, ec);
    if (!ec) target = resolved;
  }
  OldFile old;
  if (FileResult read = ReadOldFile(target, old); !read.ok) return read;
  if (old.exists && ::access(target.c_str(), W_OK) != 0) {
    return {false, Describe("cannot write the ranking file", target, errno)};
  }

  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return {false, Describe("cannot create a temporary file beside", target, errno)};

  const std::array<uint8_t, kRankingFileSize> bytes = EncodeRanking(tables);
  bool ok = ::fchmod(fd, old.mode) == 0 && WriteFully(fd, bytes.data(), bytes.size()) &&
            WriteFully(fd, old.tail.data(), old.tail.size()) && ::fsync(fd) == 0;
  int err = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return {false, Describe("cannot write the ranking file", target, err)};
  }
  SyncFolder(folder);
  return {};
}

}  // namespace rv
