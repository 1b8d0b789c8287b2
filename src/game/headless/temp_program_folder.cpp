#include "game/headless/temp_program_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "storage/atomic_file.h"
#include "storage/player_files.h"
#include "storage/stored_file.h"

namespace rv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFolderPrefix = "rv_match_";
constexpr std::size_t kFolderSuffixLength = 6;  // mkdtemp's XXXXXX
constexpr const char* kMarkFile = ".rv_sim_program_folder";

// The mark names the folder it lies in, so that it proves nothing when copied elsewhere.
std::string MarkText(const struct stat& folder) {
  return "rv_sim match program folder " + std::to_string(folder.st_dev) + ":" +
         std::to_string(folder.st_ino) + "\n";
}

bool WriteMark(int dir_fd, const struct stat& folder) {
  const int fd =
      ::openat(dir_fd, kMarkFile, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const std::string text = MarkText(folder);
  const bool written = WriteAllBytes(fd, text.data(), text.size());
  return ::close(fd) == 0 && written;
}

// The mark inside the open folder is ours: a regular file of this user holding exactly the
// text that names this folder.
bool HasOwnMark(int dir_fd, const struct stat& folder) {
  const int fd = ::openat(dir_fd, kMarkFile, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const std::string expected = MarkText(folder);
  std::string text(expected.size() + 1, '\0');
  struct stat st {};
  ssize_t got = -1;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
    got = ::read(fd, text.data(), text.size());
  }
  ::close(fd);
  return got == static_cast<ssize_t>(expected.size()) && text.starts_with(expected);
}

std::vector<std::string> NamesIn(int dir_fd) {
  std::vector<std::string> names;
  const int list_fd = ::dup(dir_fd);
  DIR* dir = list_fd >= 0 ? ::fdopendir(list_fd) : nullptr;
  if (dir == nullptr) {
    if (list_fd >= 0) ::close(list_fd);
    return names;
  }
  ::rewinddir(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

// Removes everything inside the open folder but `keep`, relative to the descriptor so that
// a name swapped meanwhile leads nowhere else; a link is removed, never what it points at.
void EmptyFolderAt(int dir_fd, std::string_view keep) {
  for (const std::string& name : NamesIn(dir_fd)) {
    if (name == keep) continue;
    if (::unlinkat(dir_fd, name.c_str(), 0) == 0 || errno != EISDIR) continue;
    const int sub = ::openat(dir_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) continue;
    EmptyFolderAt(sub, {});
    ::close(sub);
    ::unlinkat(dir_fd, name.c_str(), AT_REMOVEDIR);
  }
}

// The mark goes last: a run killed while removing leaves a folder that is still recognised.
void RemoveOwnFolderAt(int dir_fd, int parent_fd, const std::string& name) {
  EmptyFolderAt(dir_fd, kMarkFile);
  ::unlinkat(dir_fd, kMarkFile, 0);
  ::unlinkat(parent_fd, name.c_str(), AT_REMOVEDIR);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A live run holds an exclusive flock on its folder, so a marked folder of ours whose lock
// can be taken was left by a run that was killed.
void RemoveStaleFolders(const fs::path& base, const fs::path& keep) {
  struct stat keep_st {};
  const bool keep_known = ::stat(keep.c_str(), &keep_st) == 0;
  const int base_fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (base_fd < 0) return;
  for (const std::string& name : NamesIn(base_fd)) {
    if (!IsTempProgramFolderName(name)) continue;
    const int fd = ::openat(base_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    const bool stale = ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() &&
                       !(keep_known && SameFile(st, keep_st)) &&
                       ::flock(fd, LOCK_EX | LOCK_NB) == 0 && HasOwnMark(fd, st);
    if (stale) RemoveOwnFolderAt(fd, base_fd, name);
    ::close(fd);
  }
  ::close(base_fd);
}

// A new private folder, locked before its mark is written, so that no cleaner ever takes a
// folder of a live run for a stale one.
fs::path MakeLockedFolder(const fs::path& keep, int& lock_fd) {
  const fs::path base = fs::temp_directory_path();
  RemoveStaleFolders(base, keep);
  std::string name = (base / (std::string(kFolderPrefix) + "XXXXXX")).string();
  if (::mkdtemp(name.data()) == nullptr) {
    throw std::runtime_error(
        DescribeFileError("cannot create a temporary program folder in", base, errno));
  }
  lock_fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  struct stat st {};
  if (lock_fd >= 0 && ::flock(lock_fd, LOCK_EX) == 0 && ::fstat(lock_fd, &st) == 0 &&
      WriteMark(lock_fd, st)) {
    return name;
  }
  const int err = errno;
  if (lock_fd >= 0) {
    EmptyFolderAt(lock_fd, {});
    ::close(lock_fd);
  }
  lock_fd = -1;
  ::rmdir(name.c_str());
  throw std::runtime_error(
      DescribeFileError("cannot set up the temporary program folder", name, err));
}

}  // namespace

bool IsTempProgramFolderName(const std::string& name) {
  if (name.size() != kFolderPrefix.size() + kFolderSuffixLength ||
      !name.starts_with(kFolderPrefix)) {
    return false;
  }
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kFolderPrefix.size()), name.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; });
}

TempProgramFolder::TempProgramFolder(const fs::path& assets_folder,
                                     const std::optional<fs::path>& keep)
    : path_(MakeLockedFolder(keep.value_or("."), lock_fd_)) {
  try {
    LinkAssets(fs::absolute(assets_folder));
  } catch (...) {
    Remove();
    throw;
  }
}

// The setting is the player's file: a copy, so that nothing the game writes reaches the
// assets' folder.
void TempProgramFolder::LinkAssets(const fs::path& assets) {
  for (const char* name : {"Picture", "Wave", "Music", "locale", "mpng.so"}) {
    if (!fs::exists(assets / name)) {
      throw std::runtime_error("the program folder " + assets.string() + " has no " + name);
    }
    fs::create_symlink(assets / name, path_ / name);
  }
  if (!fs::exists(assets / kConfigFile)) return;
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadStoredFile(assets / kConfigFile, bytes, &error)) throw std::runtime_error(error);
  const FileResult copied = ReplaceFileAtomically(path_ / kConfigFile, bytes);
  if (!copied.ok) throw std::runtime_error(copied.error);
}

void TempProgramFolder::Remove() {
  if (lock_fd_ < 0) return;
  const int parent_fd = ::open(path_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  RemoveOwnFolderAt(lock_fd_, parent_fd, path_.filename().string());
  if (parent_fd >= 0) ::close(parent_fd);
  ::close(lock_fd_);
  lock_fd_ = -1;
}

TempProgramFolder::~TempProgramFolder() { Remove(); }

}  // namespace rv
