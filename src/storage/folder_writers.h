#pragma once
// Who besides its owner may write a folder.
//
// A group write bit is harmless when the group is the owner's alone: Debian gives every user
// a group of their own, and with umask 002 their folders are group-writable. As Debian's ssh
// decides, the group must be the owner's primary group with no other member, neither listed
// in the group nor having it as their own primary group. With an access ACL the group bits
// are the mask over named users and groups, so any write there still counts.

#include <sys/stat.h>

#include <filesystem>

namespace rv {

// Whether a user other than the owner of `folder` (whose lstat is `st`) may write it.
bool OthersMayWrite(const std::filesystem::path& folder, const struct stat& st);

// Whether the only member of group `group` is user `owner`, whose primary group it is.
bool GroupIsOwnersAlone(gid_t group, uid_t owner);

}  // namespace rv
