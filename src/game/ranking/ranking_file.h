#pragma once
// The ranking file rvdat.dat: RankScore (135 x int32), RankMoves (135 x double) and
// RankTime (135 x int32), little-endian, 2160 bytes, no header. Bytes past offset 2159
// belong to nobody we know and are kept.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "game/ranking/ranking_tables.h"
#include "storage/atomic_file.h"
#include "storage/file_failure.h"

namespace rv {

constexpr std::size_t kRankingFileSize = 2160;
constexpr std::size_t kRankMovesOffset = 540;
constexpr std::size_t kRankTimeOffset = 1620;

struct RankingLoad {
  bool ok = true;
  RankingTables tables;
  std::string error;    // in English, for logs and tools
  FileFailure failure;  // the same, to be said in the player's language
};

// The file's bytes; values from another hand (negative, NaN, huge) are kept as they are.
std::array<uint8_t, kRankingFileSize> EncodeRanking(const RankingTables& tables);
// Bytes past `size` read as zero.
RankingTables DecodeRanking(const uint8_t* bytes, std::size_t size);

// What a missing file becomes: the game makes an empty one on its first start; a tool that
// records into a folder leaves it missing until a result enters.
enum class MissingRanking { kCreate, kLeave };

// Opens the file read-write, or read-only with kLeave; a missing file is an empty ranking. A
// short file reads as zeros past its end. A FIFO, device or folder in its place is refused. A
// file that exists but cannot be opened or read is an error naming the file, never a silently
// empty ranking that the next result would overwrite.
RankingLoad LoadRankingFile(const std::filesystem::path& file,
                            MissingRanking missing = MissingRanking::kCreate);

// Rewrites all 15 lists so that a crash at any moment leaves either the old file or the
// new one: the new bytes and the old file's tail go to a temporary file in the same folder,
// which is flushed, synced and renamed over the old file. A read-only file is not replaced; a
// link is followed to a regular file only, never to a device or a FIFO.
FileResult WriteRankingFile(const std::filesystem::path& file, const RankingTables& tables);

}  // namespace rv
