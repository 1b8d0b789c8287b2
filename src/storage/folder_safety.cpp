#include "storage/folder_safety.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "storage/folder_writers.h"

namespace rv {

namespace fs = std::filesystem;

namespace {

// Another process may make or remove a name between our look and our mkdir; each step is
// tried again this often before it counts as a failure.
constexpr int kStepAttempts = 4;

// As many links as the kernel follows in one path before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

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

// A link `link` (lstat `st`) in the checked folder `holder`: whoever else may write there
// could have planted it, unless it is the user's or root's.
FolderCheck JudgeLink(const fs::path& holder, const fs::path& link, const struct stat& st,
                      uid_t user) {
  if (st.st_uid == 0 || st.st_uid == user) return Fault(FolderFault::kNone, link);
  struct stat holder_st {};
  if (::lstat(holder.c_str(), &holder_st) != 0) {
    return Fault(FolderFault::kCannotMake, holder, errno);
  }
  if (OthersMayWrite(holder, holder_st)) return Fault(FolderFault::kForeignLink, link);
  return Fault(FolderFault::kNone, link);
}

// One name of the path still to walk; the names of a link's target must exist already.
struct Part {
  fs::path name;
  bool may_make = true;
};

// What one step down found: the folder entered, or a link to walk instead.
struct Step {
  FolderCheck check;
  std::string link_target;  // empty unless the entry was a link
};

// One step down from `current` (checked, without links) to its entry `part`, made when
// missing and allowed.
Step StepInto(const fs::path& current, const Part& part, uid_t user) {
  const fs::path next = current / part.name;
  for (int attempt = 0; attempt < kStepAttempts; ++attempt) {
    struct stat st {};
    if (::lstat(next.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) return {CheckFolder(next, user, false), {}};
      const FolderCheck trusted = JudgeLink(current, next, st, user);
      if (!trusted.ok()) return {trusted, {}};
      std::string target(static_cast<size_t>(st.st_size) + 1, '\0');
      const ssize_t size = ::readlink(next.c_str(), target.data(), target.size());
      if (size < 0) return {Fault(FolderFault::kCannotMake, next, errno), {}};
      // A link changed since the lstat is looked at again.
      if (static_cast<size_t>(size) >= target.size() || size == 0) continue;
      target.resize(static_cast<size_t>(size));
      return {Fault(FolderFault::kNone, current), target};
    }
    if (errno != ENOENT || !part.may_make)
      return {Fault(FolderFault::kCannotMake, next, errno), {}};
    if (::mkdir(next.c_str(), 0700) == 0) {
      // The umask may have taken bits away; the mode is the one asked for.
      ::chmod(next.c_str(), 0700);
      return {CheckFolder(next, user, false), {}};
    }
    if (errno != EEXIST) return {Fault(FolderFault::kCannotMake, next, errno), {}};
  }
  return {Fault(FolderFault::kCannotMake, next, EAGAIN), {}};
}

// Puts the names of `path` on `todo` so that the first is taken next.
void PushParts(const fs::path& path, bool may_make, std::vector<Part>* todo) {
  std::vector<Part> parts;
  for (const fs::path& name : path.relative_path()) parts.push_back({name, may_make});
  todo->insert(todo->end(), parts.rbegin(), parts.rend());
}

}  // namespace

FolderCheck MakeTrustedFolder(const fs::path& folder, uid_t user) {
  if (!folder.is_absolute()) return Fault(FolderFault::kCannotMake, folder, EINVAL);
  std::vector<Part> todo;
  PushParts(folder, true, &todo);
  FolderCheck check = CheckFolder(folder.root_path(), user, false);
  int links = 0;
  while (check.ok() && !todo.empty()) {
    const Part part = todo.back();
    todo.pop_back();
    if (part.name.empty() || part.name == ".") continue;
    if (part.name == "..") {
      check.folder = check.folder.parent_path();
      continue;
    }
    Step step = StepInto(check.folder, part, user);
    check = step.check;
    if (!check.ok() || step.link_target.empty()) continue;
    if (++links > kMaxLinks)
      return Fault(FolderFault::kCannotMake, check.folder / part.name, ELOOP);
    // The target's names are walked from the folder holding the link, or from the root, with
    // every folder and link on the way judged as those of the path itself.
    const fs::path target(step.link_target);
    PushParts(target, false, &todo);
    if (target.is_absolute()) check = CheckFolder(target.root_path(), user, false);
  }
  if (!check.ok()) return check;
  return CheckFolder(check.folder, user, true);
}

}  // namespace rv
