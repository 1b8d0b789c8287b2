#include "config/data_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <system_error>
#include <vector>

#include "config/instance_lock.h"
#include "config/stored_file.h"

namespace rv {

namespace fs = std::filesystem;

namespace {

constexpr const char* kConfigFile = "rvdat.cfg";
constexpr const char* kRankingFile = "rvdat.dat";
constexpr std::array<std::string_view, 5> kPlayerDataFiles = {
    kRankingFile, kConfigFile, "rvdat.cck", kGameLockFile, kConfigLockFile};
constexpr std::string_view kNormalPriority("\x01\x00", 2);

std::string Reason(const fs::path& path, int err) {
  return path.string() + ": " + std::strerror(err);
}

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string HomeFromPasswd() {
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? std::string(entry->pw_dir) : "";
}

// Makes the folder and whichever of its parents are missing, each with mode 0700; the mode
// is set explicitly because the umask may take bits away. An existing folder is left as the
// user made it.
bool MakeFolderChain(const fs::path& folder, std::string* error) {
  fs::path prefix;
  for (const fs::path& part : folder) {
    prefix /= part;
    if (::mkdir(prefix.c_str(), 0700) == 0) {
      ::chmod(prefix.c_str(), 0700);
      continue;
    }
    const int err = errno;
    struct stat st {};
    if (err == EEXIST && ::stat(prefix.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
    *error = Reason(prefix, err == EEXIST ? ENOTDIR : err);
    return false;
  }
  return true;
}

bool IsRegularFile(const fs::path& file) {
  std::error_code ec;
  return fs::is_regular_file(file, ec);
}

// A file of the program folder to seed from: a regular file read whole, or nothing.
std::optional<std::string> ReadWhole(const fs::path& file) {
  std::vector<uint8_t> bytes;
  if (!ReadStoredFile(file, bytes, nullptr)) return std::nullopt;
  return std::string(bytes.begin(), bytes.end());
}

// Puts a complete file where none exists: written aside, then linked into place, so that
// the other program never reads it half written and a file that appeared meanwhile (the
// other program seeding at the same moment) is never overwritten.
bool PlaceFileOnce(const fs::path& target, std::string_view bytes, std::string* error) {
  std::string temp = target.string() + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    *error = Reason(target, errno);
    return false;
  }
  const bool written =
      ::fchmod(fd, 0644) == 0 && WriteAllBytes(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  const int write_errno = errno;
  ::close(fd);
  bool linked = written && ::link(temp.c_str(), target.c_str()) == 0;
  int link_errno = errno;
  ::unlink(temp.c_str());
  if (written && !linked && link_errno == EEXIST) {
    // Someone else's file is just as good, as long as it is a file.
    linked = IsRegularFile(target);
    link_errno = EISDIR;
  }
  if (!linked) *error = Reason(target, written ? link_errno : write_errno);
  return linked;
}

// rvdat.cfg and, when the program folder holds one, the ranking: what a per-user folder
// needs before the first start. Files already there are never touched.
bool SeedPerUserFolder(const fs::path& folder, const fs::path& program_folder, std::string* error) {
  if (!IsRegularFile(folder / kConfigFile)) {
    const std::optional<std::string> old = ReadWhole(program_folder / kConfigFile);
    const std::string bytes = old ? *old : std::string(kNormalPriority);
    if (!PlaceFileOnce(folder / kConfigFile, bytes, error)) return false;
  }
  if (!fs::exists(folder / kRankingFile)) {
    if (const std::optional<std::string> old = ReadWhole(program_folder / kRankingFile)) {
      if (!PlaceFileOnce(folder / kRankingFile, *old, error)) return false;
    }
  }
  return true;
}

}  // namespace

bool ProgramFolderWritable(const fs::path& program_folder) {
  std::error_code ec;
  if (fs::exists(program_folder / kInstalledMarkFile, ec)) return false;
  return ::access(program_folder.c_str(), W_OK | X_OK) == 0;
}

DataFolderInputs ReadDataFolderInputs(const fs::path& program_folder) {
  DataFolderInputs inputs;
  inputs.program_folder = program_folder;
  inputs.program_folder_writable = ProgramFolderWritable(program_folder);
  inputs.xdg_data_home = EnvOrEmpty("XDG_DATA_HOME");
  inputs.home = EnvOrEmpty("HOME");
  if (inputs.home.empty()) inputs.home = HomeFromPasswd();
  return inputs;
}

fs::path PerUserDataFolder(const DataFolderInputs& inputs) {
  const fs::path xdg(inputs.xdg_data_home);
  if (xdg.is_absolute()) return xdg / kDataFolderName;
  const fs::path home(inputs.home);
  if (home.is_absolute()) return home / ".local" / "share" / kDataFolderName;
  return {};
}

DataFolder ChooseDataFolder(const DataFolderInputs& inputs) {
  DataFolder result;
  if (inputs.program_folder_writable) {
    result.path = inputs.program_folder;
    return result;
  }
  result.per_user = true;
  const fs::path folder = PerUserDataFolder(inputs);
  if (folder.empty()) {
    result.error = "XDG_DATA_HOME and HOME are not set";
    return result;
  }
  if (!MakeFolderChain(folder, &result.error)) return result;
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    result.error = Reason(folder, errno);
    return result;
  }
  if (!SeedPerUserFolder(folder, inputs.program_folder, &result.error)) return result;
  result.path = folder;
  return result;
}

DataFolder ResolveDataFolder(const fs::path& program_folder) {
  return ChooseDataFolder(ReadDataFolderInputs(program_folder));
}

bool IsPlayerDataFile(std::string_view name) {
  for (std::string_view data : kPlayerDataFiles) {
    if (name == data) return true;
  }
  return false;
}

}  // namespace rv
