#include "game/ranking/ranking_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include "storage/stored_file.h"

namespace rv {

namespace {

void PutLe(uint8_t* out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t GetLe(const uint8_t* in, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(in[i]) << (8 * i);
  return v;
}

// The tail past offset 2159 of the file that is about to be replaced; a missing file has none.
FileResult ReadOldTail(const std::filesystem::path& file, std::vector<uint8_t>& tail) {
  const StoredFileOpen opened = OpenStoredFile(file, O_RDONLY);
  if (!opened.ok()) {
    if (opened.missing()) return {};
    return {false, DescribeFileProblem("cannot open the ranking file", file, opened.Reason())};
  }
  struct stat st {};
  bool read_ok = ::fstat(opened.fd, &st) == 0;
  if (read_ok && st.st_size > static_cast<off_t>(kRankingFileSize)) {
    read_ok = ::lseek(opened.fd, static_cast<off_t>(kRankingFileSize), SEEK_SET) >= 0 &&
              ReadToEnd(opened.fd, tail, static_cast<std::size_t>(st.st_size) - kRankingFileSize);
  }
  const int err = errno;
  ::close(opened.fd);
  if (!read_ok) return {false, DescribeFileError("cannot read the ranking file", file, err)};
  return {};
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
  // An empty file has no bytes to copy (and may come with no buffer at all).
  if (size > 0) std::memcpy(padded.data(), bytes, std::min(size, kRankingFileSize));
  RankingTables tables;
  for (int i = 0; i < kRankEntries; ++i) {
    tables.RankScore[i] = static_cast<int32_t>(GetLe(&padded[4 * i], 4));
    tables.RankMoves[i] = std::bit_cast<double>(GetLe(&padded[kRankMovesOffset + 8 * i], 8));
    tables.RankTime[i] = static_cast<int32_t>(GetLe(&padded[kRankTimeOffset + 4 * i], 4));
  }
  return tables;
}

RankingLoad LoadRankingFile(const std::filesystem::path& file, MissingRanking missing) {
  RankingLoad result;
  const bool create = missing == MissingRanking::kCreate;
  const StoredFileOpen opened = OpenStoredFile(file, create ? O_RDWR | O_CREAT : O_RDONLY);
  if (!create && opened.missing()) return result;
  if (!opened.ok()) {
    result.ok = false;
    result.error = DescribeFileProblem("cannot open the ranking file", file, opened.Reason());
    result.failure = opened.Failure(FileAction::kOpen, file);
    return result;
  }
  std::vector<uint8_t> bytes;
  const bool read_ok = ReadToEnd(opened.fd, bytes, kRankingFileSize);
  const int err = errno;
  ::close(opened.fd);
  if (!read_ok) {
    result.ok = false;
    result.error = DescribeFileError("cannot read the ranking file", file, err);
    result.failure = FileFailure{FileAction::kRead, file, err};
    return result;
  }
  result.tables = DecodeRanking(bytes.data(), bytes.size());
  return result;
}

FileResult WriteRankingFile(const std::filesystem::path& file, const RankingTables& tables) {
  const std::filesystem::path target = ResolveWriteTarget(file);
  std::vector<uint8_t> bytes;
  if (FileResult read = ReadOldTail(target, bytes); !read.ok) return read;
  const std::array<uint8_t, kRankingFileSize> encoded = EncodeRanking(tables);
  bytes.insert(bytes.begin(), encoded.begin(), encoded.end());
  return ReplaceFileAtomically(target, bytes);
}

}  // namespace rv
