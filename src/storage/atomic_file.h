#pragma once
// Whole-file replacement that a crash cannot tear: the new bytes go to a temporary file in
// the same folder, which is synced and renamed over the old name. Shared by the game's
// ranking write and by the tools that hand a ranking back.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace rv {

struct FileResult {
  bool ok = true;
  std::string error;  // one line that names the file and the reason (for logs and tools)
};

// The file a write to `file` lands in: a symbolic link is followed to its target, so that a
// player may keep the file elsewhere and the link keeps pointing at it.
std::filesystem::path ResolveWriteTarget(const std::filesystem::path& file);

// Replaces `target` (already resolved) by `bytes`; afterwards it holds either the old bytes
// or the new ones, whatever moment the process dies at. Refused before any byte is written
// when `target` is not a regular file (a device, a FIFO, a folder) or is read-only. The new
// file keeps the old one's permission bits. Temporary files that killed writers left beside
// `target` are removed first, so repeated crashes cannot fill the folder.
FileResult ReplaceFileAtomically(const std::filesystem::path& target,
                                 std::span<const uint8_t> bytes);

// The temporary names the writer uses for `target`: "." + its name + "." + six characters.
bool IsTemporaryNameOf(const std::filesystem::path& target, const std::string& name);

}  // namespace rv
