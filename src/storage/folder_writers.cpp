#include "storage/folder_writers.h"

#include <grp.h>
#include <pwd.h>
#include <sys/xattr.h>

#include <string>

namespace rv {

namespace {

bool HasAccessAcl(const std::filesystem::path& folder) {
  // The size of the extended attribute; it is missing (ENODATA, ENOTSUP) without an ACL.
  return ::lgetxattr(folder.c_str(), "system.posix_acl_access", nullptr, 0) >= 0;
}

}  // namespace

bool GroupIsOwnersAlone(gid_t group, uid_t owner) {
  const passwd* entry = ::getpwuid(owner);
  if (entry == nullptr || entry->pw_gid != group) return false;
  const std::string owner_name = entry->pw_name;
  const ::group* listed = ::getgrgid(group);
  if (listed == nullptr) return false;
  for (char** member = listed->gr_mem; *member != nullptr; ++member) {
    if (owner_name != *member) return false;
  }
  bool alone = true;
  ::setpwent();
  while (const passwd* user = ::getpwent()) {
    if (user->pw_gid == group && user->pw_uid != owner) {
      alone = false;
      break;
    }
  }
  ::endpwent();
  return alone;
}

bool OthersMayWrite(const std::filesystem::path& folder, const struct stat& st) {
  if ((st.st_mode & S_IWOTH) != 0) return true;
  if ((st.st_mode & S_IWGRP) == 0) return false;
  return HasAccessAcl(folder) || !GroupIsOwnersAlone(st.st_gid, st.st_uid);
}

}  // namespace rv
