#pragma once
// Making the per-user data folder, and trusting it only when nobody else can change it.
//
// Whoever may write a folder decides what its names lead to: a link planted as rvdat.cfg or
// as a lock file would have the programs create or overwrite files wherever it points, with
// the player's rights (root's, when root plays). So, as ssh does with ~/.ssh, the folder
// must belong to the user who runs the program and be writable by nobody else, and every
// folder above it must belong to that user or to root and be writable by nobody else, unless
// its sticky bit keeps others from renaming what is not theirs (/tmp). A sticky folder still
// lets others plant new names, so a link there is followed only when it is the user's or
// root's, as the kernel's protected_symlinks does. (folder_writers.h says who "others" are.)

#include <sys/types.h>

#include <filesystem>

namespace rv {

enum class FolderFault {
  kNone,
  kCannotMake,        // a folder could not be made or looked at (`err` says why)
  kNotOwned,          // it belongs to another user
  kWritableByOthers,  // other users may write it, or a group not the owner's alone
  kForeignLink,       // a link another user planted in a folder open to others
};

struct FolderCheck {
  FolderFault fault = FolderFault::kNone;
  std::filesystem::path folder;  // the folder made and checked, without links; or the culprit
  int err = 0;                   // errno for kCannotMake
  bool ok() const { return fault == FolderFault::kNone; }
};

// Makes `folder` (absolute) and its missing parents, each with mode 0700, checking every
// folder on the way before anything is made inside it. A symbolic link on the way is
// followed, and the folders and links it leads to are judged in turn; they must exist. On
// success `folder` is the same folder named without links, which the programs then use; on
// failure it names the folder or link at fault. An existing folder keeps the mode its owner
// gave it. `user` is the effective user id the checks are for.
FolderCheck MakeTrustedFolder(const std::filesystem::path& folder, uid_t user);

}  // namespace rv
