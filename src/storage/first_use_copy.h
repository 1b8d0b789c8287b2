#pragma once
// The first-use copy of a file from the program folder into the per-user data folder.

#include <cstdint>
#include <filesystem>

namespace rv {

// Larger than any real rvdat.dat (2160 bytes and what a player kept after them) or
// rvdat.cfg: such a file is not copied, so that a wrong file cannot fill the player's memory
// or disk on every start.
inline constexpr std::uintmax_t kFirstUseCopyLimit = 1024 * 1024;

struct FirstUseCopy {
  enum class Result {
    kCopied,
    kNothingToCopy,  // no readable regular source
    kAlreadyThere,   // the target exists (made meanwhile by the other program)
    kTooLarge,       // the source holds more than the limit
    kFailed,         // the target could not be written (`err`)
  };
  Result result = Result::kFailed;
  std::filesystem::path file;  // the file at fault: the source when too large, else the target
  int err = 0;
};

// Copies `source` to `target`, which must not exist yet, in small pieces: the copy is written
// aside, synced and then linked into place, so that the other program never reads it half
// written and never sees it overwritten: a regular file that appeared at `target` meanwhile
// counts as there, anything else in the place (a link included, which is never written
// through) as a failure. At most `limit` bytes are ever read.
FirstUseCopy CopyToNewFile(const std::filesystem::path& source, const std::filesystem::path& target,
                           std::uintmax_t limit = kFirstUseCopyLimit);

}  // namespace rv
