#include "config/folder_safety.h"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "config/folder_writers.h"

namespace rv {

namespace fs = std::filesystem;

namespace {

// Another process may make or remove a name between our look and our mkdir; each step is
// tried again this often before it counts as a failure.
constexpr int kStepAttempts = 4;

FolderCheck Fault(FolderFault fault, const fs::path& folder, int err = 0) {
  return FolderCheck{fault, folder, err};
}

// A folder above the data folder: root's or the user's, and closed to others unless its
// sticky bit keeps them from renaming or removing what they do not own.
FolderFault JudgeAbove(const fs::path& folder, const struct stat& st, uid_t user) {
  if (st.st_uid != 0 && st.st_uid != user) return FolderFault::kNotOwned;
  if ((st.st_mode & S_ISVTX) == 0 && OthersMayWrite(folder, st)) {
    return FolderFault::kWritableByOthers;
  }
  return FolderFault::kNone;
}

// The data folder itself: the user's alone, sticky or not.
FolderFault JudgeOwn(const fs::path& folder, const struct stat& st, uid_t user) {
  if (st.st_uid != user) return FolderFault::kNotOwned;
  if (OthersMayWrite(folder, st)) return FolderFault::kWritableByOthers;
  return FolderFault::kNone;
}

FolderCheck CheckFolder(const fs::path& folder, uid_t user, bool own) {
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) return Fault(FolderFault::kCannotMake, folder, errno);
  if (!S_ISDIR(st.st_mode)) return Fault(FolderFault::kCannotMake, folder, ENOTDIR);
  const FolderFault fault = own ? JudgeOwn(folder, st, user) : JudgeAbove(folder, st, user);
  return Fault(fault, folder);
}

// Every folder of a path without links, from the root down.
FolderCheck CheckChain(const fs::path& resolved, uid_t user) {
  fs::path prefix;
  for (const fs::path& part : resolved) {
    prefix /= part;
    const FolderCheck check = CheckFolder(prefix, user, false);
    if (!check.ok()) return check;
  }
  return Fault(FolderFault::kNone, resolved);
}

// One step down from `current` (checked, without links) to its entry `part`, made when
// missing. The result names the step's folder without links.
FolderCheck StepInto(const fs::path& current, const fs::path& part, uid_t user) {
  const fs::path next = current / part;
  for (int attempt = 0; attempt < kStepAttempts; ++attempt) {
    struct stat st {};
    if (::lstat(next.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) return CheckFolder(next, user, false);
      // The link lies in a checked folder, so only root or the user can change it; where it
      // leads must pass the same checks.
      std::error_code ec;
      const fs::path target = fs::canonical(next, ec);
      if (ec) return Fault(FolderFault::kCannotMake, next, ec.value());
      return CheckChain(target, user);
    }
    if (errno != ENOENT) return Fault(FolderFault::kCannotMake, next, errno);
    if (::mkdir(next.c_str(), 0700) == 0) {
      // The umask may have taken bits away; the mode is the one asked for.
      ::chmod(next.c_str(), 0700);
      return CheckFolder(next, user, false);
    }
    if (errno != EEXIST) return Fault(FolderFault::kCannotMake, next, errno);
  }
  return Fault(FolderFault::kCannotMake, next, EAGAIN);
}

}  // namespace

FolderCheck MakeTrustedFolder(const fs::path& folder, uid_t user) {
  if (!folder.is_absolute()) return Fault(FolderFault::kCannotMake, folder, EINVAL);
  FolderCheck check = CheckChain(folder.root_path(), user);
  for (const fs::path& part : folder.relative_path()) {
    if (!check.ok()) return check;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      check.folder = check.folder.parent_path();
      continue;
    }
    check = StepInto(check.folder, part, user);
  }
  if (!check.ok()) return check;
  return CheckFolder(check.folder, user, true);
}

}  // namespace rv
