#pragma once
// Where the player's data lives: rvdat.dat, rvdat.cfg, rvdat.cck and the two lock files.
//
// A program folder the player may write (a portable folder such as build/dist) keeps them
// beside the programs, as it always has. An installed game's folder is shared and read-only,
// so the data goes to a per-user folder, $XDG_DATA_HOME/ravolin or ~/.local/share/ravolin.
// The game and the dialog both decide through this one function, so they find each other's
// marker and locks wherever the data is.

#include <filesystem>
#include <string>
#include <string_view>

namespace rv {

// The name of the per-user folder under the XDG data home.
inline constexpr const char* kDataFolderName = "ravolin";

// An install puts this empty file beside the programs. Such a folder counts as read-only
// even where the user could write it (root, a prefix in the home): data written into an
// installed tree would be shared between users and outlive the package's removal.
inline constexpr const char* kInstalledMarkFile = "ravolin-installed";

// Everything the choice depends on, so that it can be decided for any situation.
struct DataFolderInputs {
  std::filesystem::path program_folder;
  bool program_folder_writable = false;
  std::string xdg_data_home;  // empty when unset
  std::string home;           // empty when unknown
};

struct DataFolder {
  std::filesystem::path path;  // empty when no usable folder could be made
  bool per_user = false;       // the per-user folder rather than the program folder
  std::string error;           // what went wrong when path is empty
  bool ok() const { return !path.empty(); }
};

// Whether the player's data can stay beside the programs: the folder may be written and
// searched, and no install has marked it.
bool ProgramFolderWritable(const std::filesystem::path& program_folder);

// The real inputs: the program folder's state and the environment.
DataFolderInputs ReadDataFolderInputs(const std::filesystem::path& program_folder);

// $XDG_DATA_HOME/ravolin when that is an absolute path (the XDG rule: a relative one is
// ignored), else $HOME/.local/share/ravolin; empty when neither is known.
std::filesystem::path PerUserDataFolder(const DataFolderInputs& inputs);

// Decides the folder and makes it usable. The per-user folder is created on first use with
// mode 0700 (missing parents too, as XDG asks). rvdat.cfg is seeded when missing: a copy of
// the program folder's, or 01 00 (normal priority). A ranking found in the program folder
// is copied when the per-user folder has none; the program folder is never written.
DataFolder ChooseDataFolder(const DataFolderInputs& inputs);

// ChooseDataFolder(ReadDataFolderInputs(program_folder)): what both programs call.
DataFolder ResolveDataFolder(const std::filesystem::path& program_folder);

// Whether a file named relative to the program folder is the player's data (kept in the
// data folder) rather than one of the game's read-only files.
bool IsPlayerDataFile(std::string_view name);

}  // namespace rv
