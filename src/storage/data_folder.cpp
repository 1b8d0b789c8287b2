#include "storage/data_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "storage/folder_safety.h"
#include "storage/instance_lock.h"
#include "storage/player_files.h"

namespace rv {

namespace fs = std::filesystem;

namespace {

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string HomeFromPasswd() {
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? std::string(entry->pw_dir) : "";
}

DataFolder Failed(DataFolderFault fault, const fs::path& culprit, int err,
                  const std::string& error) {
  DataFolder result;
  result.per_user = true;
  result.fault = fault;
  result.culprit = culprit;
  result.err = err;
  result.error = error;
  return result;
}

DataFolder FailedOn(DataFolderFault fault, const fs::path& culprit, int err, const char* what) {
  std::string error = culprit.string() + ": " + what;
  if (err != 0) error += std::string(": ") + std::strerror(err);
  return Failed(fault, culprit, err, error);
}

// Neither variable gives an absolute folder: say what is wrong with each.
DataFolder NoPlace(const DataFolderInputs& inputs) {
  const std::string xdg =
      inputs.xdg_data_home.empty()
          ? "XDG_DATA_HOME is not set"
          : "XDG_DATA_HOME is not an absolute path: \"" + inputs.xdg_data_home + "\"";
  if (inputs.home.empty())
    return Failed(DataFolderFault::kNoHome, {}, 0, "HOME is not set; " + xdg);
  DataFolder result = Failed(DataFolderFault::kHomeNotAbsolute, {}, 0,
                             "HOME is not an absolute path: \"" + inputs.home + "\"; " + xdg);
  result.detail = inputs.home;
  return result;
}

DataFolder Untrusted(const FolderCheck& check) {
  switch (check.fault) {
    case FolderFault::kNotOwned:
      return FailedOn(DataFolderFault::kNotOwned, check.folder, 0,
                      "belongs to another user; the data folder must be yours");
    case FolderFault::kWritableByOthers:
      return FailedOn(DataFolderFault::kWritableByOthers, check.folder, 0,
                      "other users may write it; the data folder must be writable by you alone");
    case FolderFault::kForeignLink:
      return FailedOn(DataFolderFault::kForeignLink, check.folder, 0,
                      "a link of another user's in a folder others may write; it is not followed");
    case FolderFault::kCannotMake:
    case FolderFault::kNone:
      break;
  }
  return FailedOn(DataFolderFault::kCannotMake, check.folder, check.err, "cannot make the folder");
}

enum class Present { kNothing, kRegularFile, kSomethingElse };

// What has the name, links not followed: a link, even a dangling or looping one, is there.
Present WhatIsAt(const fs::path& file) {
  struct stat st {};
  if (::lstat(file.c_str(), &st) != 0)
    return errno == ENOENT ? Present::kNothing : Present::kSomethingElse;
  return S_ISREG(st.st_mode) ? Present::kRegularFile : Present::kSomethingElse;
}

// Copies one file of the program folder when the data folder has nothing of that name.
// Reports whether the data folder has the file now. Something else in its place is taken as
// the player's own where `any_kind` allows it (a ranking kept elsewhere through a link), and
// is a failure otherwise.
bool Seed(const fs::path& folder, const fs::path& program_folder, const char* name, bool any_kind,
          DataFolder* failure) {
  switch (WhatIsAt(folder / name)) {
    case Present::kRegularFile:
      return true;
    case Present::kSomethingElse:
      if (any_kind) return true;
      *failure =
          FailedOn(DataFolderFault::kCannotCopy, folder / name, EISDIR, "not a regular file");
      return false;
    case Present::kNothing:
      break;
  }
  const FirstUseCopy copy = CopyToNewFile(program_folder / name, folder / name);
  switch (copy.result) {
    case FirstUseCopy::Result::kCopied:
    case FirstUseCopy::Result::kAlreadyThere:
      return true;
    case FirstUseCopy::Result::kNothingToCopy:
      return false;
    case FirstUseCopy::Result::kTooLarge:
      *failure = FailedOn(DataFolderFault::kTooLarge, copy.file, 0,
                          "larger than 1 MB, so not a Ravolin file; not copied");
      return false;
    case FirstUseCopy::Result::kFailed:
      break;
  }
  *failure = FailedOn(DataFolderFault::kCannotCopy, copy.file, copy.err, "cannot copy");
  return false;
}

// What the install ships: its setting, and a ranking left beside the programs. The ranking
// comes only with a setting, so that a start refused for the lack of one leaves nothing
// behind. Files already in the data folder are never touched.
bool SeedPerUserFolder(const fs::path& folder, const fs::path& program_folder,
                       DataFolder* failure) {
  // The setting is opened only as a file of its own, so nothing else may stand in for it.
  const bool setting = Seed(folder, program_folder, kConfigFile, false, failure);
  if (failure->fault != DataFolderFault::kNone) return false;
  if (setting) Seed(folder, program_folder, kRankingFile, true, failure);
  return failure->fault == DataFolderFault::kNone;
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
  if (inputs.program_folder_writable) {
    DataFolder result;
    result.path = inputs.program_folder;
    return result;
  }
  const fs::path wanted = PerUserDataFolder(inputs);
  if (wanted.empty()) return NoPlace(inputs);
  const FolderCheck check = MakeTrustedFolder(wanted, inputs.user);
  if (!check.ok()) return Untrusted(check);
  if (::access(check.folder.c_str(), W_OK | X_OK) != 0) {
    return FailedOn(DataFolderFault::kCannotMake, check.folder, errno, "cannot use the folder");
  }
  DataFolder result;
  result.per_user = true;
  if (!SeedPerUserFolder(check.folder, inputs.program_folder, &result)) return result;
  result.path = check.folder;
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
