#pragma once
// Where the player's data lives: rvdat.dat, rvdat.cfg, rvdat.cck and the two lock files.
//
// A program folder the player may write (a portable folder such as build/dist) keeps them
// beside the programs, as it always has. An installed game's folder is shared and read-only,
// so the data goes to a per-user folder, $XDG_DATA_HOME/ravolin or ~/.local/share/ravolin.
// The game and the dialog both decide through this one function, so they find each other's
// marker and locks wherever the data is, as long as they see the same XDG_DATA_HOME and HOME.

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "lang/catalogue.h"
#include "storage/first_use_copy.h"

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
  uid_t user = ::geteuid();   // whose folder it must be
};

// Why no data folder could be used.
enum class DataFolderFault {
  kNone,
  kNoHome,            // HOME is not set, and XDG_DATA_HOME gives no absolute folder
  kHomeNotAbsolute,   // HOME (`detail`) is not an absolute path
  kCannotMake,        // `culprit`, a folder, could not be made or looked at (`err`)
  kNotOwned,          // `culprit`, the data folder or one above it, is another user's
  kWritableByOthers,  // `culprit` may be written by other users
  kForeignLink,       // `culprit` is a link another user could have planted
  kTooLarge,          // `culprit`, a file to copy from the program folder, is too large
  kCannotCopy,        // `culprit` could not be read or written for the first-use copy (`err`)
};

struct DataFolder {
  std::filesystem::path path;  // empty when no usable folder could be made
  bool per_user = false;       // the per-user folder rather than the program folder
  DataFolderFault fault = DataFolderFault::kNone;
  std::filesystem::path culprit;  // the folder or file at fault
  int err = 0;                    // errno, where the fault has one
  std::string detail;             // the value of HOME for kHomeNotAbsolute
  std::string error;              // what went wrong, one line in English for logs
  bool ok() const { return !path.empty(); }
};

// The player's box for a failed choice, in the catalogue's language: what went wrong, the
// folder or file at fault on a line of its own, and why.
std::string DataFolderMessage(const DataFolder& failed, const Catalogue& words);

// Whether the player's data can stay beside the programs: the folder may be written and
// searched, and no install has marked it.
bool ProgramFolderWritable(const std::filesystem::path& program_folder);

// The real inputs: the program folder's state and the environment.
DataFolderInputs ReadDataFolderInputs(const std::filesystem::path& program_folder);

// $XDG_DATA_HOME/ravolin when that is an absolute path (the XDG rule: a relative one is
// ignored), else $HOME/.local/share/ravolin; empty when neither is known or HOME is relative.
std::filesystem::path PerUserDataFolder(const DataFolderInputs& inputs);

// Decides the folder and makes it usable. The per-user folder is created on first use with
// mode 0700 (missing parents too, as XDG asks) and is refused unless it is trustworthy (see
// folder_safety.h); its path is then given without links. A missing rvdat.cfg is seeded only
// by copying the one the install ships beside the programs; without one nothing is made, and
// the game refuses to start as it does in a program folder without the setting, while the
// dialog makes it empty. A ranking found in the program folder is copied along with the
// setting when the per-user folder has none. A file to copy of more than kFirstUseCopyLimit
// bytes fails the choice and is never read. The program folder is never written, and a
// program folder used as the data folder is taken as it is.
DataFolder ChooseDataFolder(const DataFolderInputs& inputs);

// ChooseDataFolder(ReadDataFolderInputs(program_folder)): what both programs call.
DataFolder ResolveDataFolder(const std::filesystem::path& program_folder);

// Whether a file named relative to the program folder is the player's data (kept in the
// data folder) rather than one of the game's read-only files.
bool IsPlayerDataFile(std::string_view name);

}  // namespace rv
