// A per-user data folder that someone else can change is never used: whoever
// may write it (or a folder above it) could plant links that make the programs
// create or overwrite files of their choosing with the player's rights.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "config/config_file.h"
#include "storage/data_folder.h"
#include "storage/instance_lock.h"
#include "support/as_user.h"
#include "support/file_bytes.h"
#include "support/scoped_account.h"
#include "support/temp_folder.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

const std::vector<uint8_t> kSecret = {'S', 'E', 'C', 'R', 'E', 'T'};

bool Exists(const fs::path& path) { return fs::exists(fs::symlink_status(path)); }

// Every line of a box is Japanese, but the one naming the folder.
void ExpectJapaneseBox(const std::string& box, const fs::path& named) {
  std::istringstream lines(box);
  std::string line;
  bool path_seen = false;
  while (std::getline(lines, line)) {
    if (line == named.string()) {
      path_seen = true;
      continue;
    }
    const bool japanese = std::any_of(line.begin(), line.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    EXPECT_TRUE(japanese) << "not Japanese: " << line;
  }
  EXPECT_TRUE(path_seen) << box;
}

// A temporary root that every user may enter (as /home is), with the player's
// program folder.
struct Scene {
  TempFolder root;
  fs::path program;
  Scene() : program(root / "prog") {
    ::umask(022);  // folders made without a mode are a player's usual ones
    ::chmod(root.path().c_str(), 0755);
    fs::create_directory(program);
  }
  fs::path operator/(const std::string& name) const { return root / name; }
};

void MakeFolder(const fs::path& folder, mode_t mode) {
  fs::create_directories(folder);
  ::chmod(folder.c_str(), mode);
}

// A folder of a system account's (made by root), or a link of one's (lchown).
void GiveTo(const fs::path& path, const char* user, const char* group) {
  ASSERT_EQ(::lchown(path.c_str(), test::UidOf(user), test::GidOf(group)), 0)
      << path << ": " << std::strerror(errno);
}
void MakeFolderOf(const fs::path& folder, mode_t mode, const char* user, const char* group) {
  MakeFolder(folder, mode);
  GiveTo(folder, user, group);
}
void MakeLinkOf(const fs::path& target, const fs::path& link, const char* user) {
  fs::create_symlink(target, link);
  GiveTo(link, user, "nogroup");
}

// A sticky folder open to everyone, as /tmp, holding `owner`'s link to a folder of daemon's.
void LinkInStickyFolder(const Scene& s, const char* sticky, const char* link, const char* owner) {
  MakeFolder(s / sticky, 01777);
  MakeFolderOf(s / "kept", 0700, "daemon", "daemon");
  MakeLinkOf(s / "kept", s / sticky / link, owner);
}

// Only root makes the folders of a system account, for rows checked for one.
bool CanArrangeFor(const char* account) { return account == nullptr || ::geteuid() == 0; }

// Gives `user` the rights rwx on `folder` through an access ACL whose mask is
// `mask`; the group bits of the mode then show the mask. Written as the
// kernel's extended attribute, version 2, entries sorted by tag: owner, named
// user, owning group, mask, others.
void GrantThroughAcl(const fs::path& folder, const char* user, uint16_t mask) {
  struct Entry {
    uint16_t tag, perm;
    uint32_t id;
  };
  constexpr uint32_t kNoId = ~0u;
  const uint32_t header = 2;
  const Entry entries[] = {{0x01, 7, kNoId},
                           {0x02, 7, test::UidOf(user)},
                           {0x04, 5, kNoId},
                           {0x10, mask, kNoId},
                           {0x20, 5, kNoId}};
  std::vector<char> value(sizeof header + sizeof entries);
  std::memcpy(value.data(), &header, sizeof header);
  std::memcpy(value.data() + sizeof header, entries, sizeof entries);
  ASSERT_EQ(::setxattr(folder.c_str(), "system.posix_acl_access", value.data(), value.size(), 0), 0)
      << folder << ": " << std::strerror(errno);
}

// The folder faults any user can arrange in a folder of their own; the "other
// user" is stood for by checking for a user id that is not ours. The last rows
// need root, who makes the folders of system accounts and checks them for those
// accounts, whose groups the system's databases tell.
TEST(DataFolderSafetyTest, AFolderThatIsNotTheUsersAloneIsRefusedAndNamed) {
  // A user whose own group lists a second member.
  std::optional<test::ScopedAccount> listed;
  if (::geteuid() == 0) {
    listed.emplace("rvsafe");
    ASSERT_TRUE(listed->made() && listed->AddToGroup("nobody")) << listed->name();
  }
  const char* listed_name = listed ? listed->name().c_str() : "";
  const struct {
    const char* what;
    std::function<void(const Scene&)> arrange;
    const char* xdg;      // relative to the root
    bool other_user;      // checked for a user who is not the owner
    const char* culprit;  // relative to the root; "" when it may be any folder above
    DataFolderFault fault;
    const char* account = nullptr;  // an account checked for instead of us (needs root)
  } cases[] = {
      {"the data folder open to everyone",
       [](const Scene& s) { MakeFolder(s / "xdg/ravolin", 0777); }, "xdg", false, "xdg/ravolin",
       DataFolderFault::kWritableByOthers},
      {"the data folder sticky but open to everyone",
       [](const Scene& s) { MakeFolder(s / "xdg/ravolin", 01777); }, "xdg", false, "xdg/ravolin",
       DataFolderFault::kWritableByOthers},
      {"XDG_DATA_HOME open to everyone", [](const Scene& s) { MakeFolder(s / "xdg", 0777); }, "xdg",
       false, "xdg", DataFolderFault::kWritableByOthers},
      {"the folder above XDG_DATA_HOME open to everyone",
       [](const Scene& s) { MakeFolder(s / "base", 0777); }, "base/xdg", false, "base",
       DataFolderFault::kWritableByOthers},
      {"a link to a folder open to everyone",
       [](const Scene& s) {
         MakeFolder(s / "open", 0777);
         fs::create_symlink(s / "open", s / "xdg");
       },
       "xdg", false, "open", DataFolderFault::kWritableByOthers},
      {"another user's folder", [](const Scene&) {}, "xdg", true, "", DataFolderFault::kNotOwned},
      {"open to a group that others have as their own (nogroup: nobody's, "
       "sync's, _apt's)",
       [](const Scene& s) { MakeFolderOf(s / "xdg/ravolin", 0775, "nobody", "nogroup"); }, "xdg",
       false, "xdg/ravolin", DataFolderFault::kWritableByOthers, "nobody"},
      {"open to the owner's own group, which lists a second member",
       [listed_name](const Scene& s) {
         MakeFolderOf(s / "xdg/ravolin", 0770, listed_name, listed_name);
       },
       "xdg", false, "xdg/ravolin", DataFolderFault::kWritableByOthers, listed_name},
      {"open to a group that is not the owner's own",
       [](const Scene& s) { MakeFolderOf(s / "xdg", 0775, "daemon", "bin"); }, "xdg", false, "xdg",
       DataFolderFault::kWritableByOthers, "daemon"},
      {"the owner's own group, but a named user may write through an ACL",
       [](const Scene& s) {
         MakeFolderOf(s / "xdg/ravolin", 0770, "daemon", "daemon");
         GrantThroughAcl(s / "xdg/ravolin", "nobody", 7);
       },
       "xdg", false, "xdg/ravolin", DataFolderFault::kWritableByOthers, "daemon"},
      {"another user's link in a sticky folder, to a folder of the player's",
       [](const Scene& s) { LinkInStickyFolder(s, "tmp", "d", "nobody"); }, "tmp/d", false, "tmp/d",
       DataFolderFault::kForeignLink, "daemon"},
      {"another user's link further down a link's target",
       [](const Scene& s) {
         LinkInStickyFolder(s, "tmp", "planted", "nobody");
         MakeLinkOf(s / "tmp/planted", s / "mine", "daemon");
       },
       "mine", false, "tmp/planted", DataFolderFault::kForeignLink, "daemon"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!CanArrangeFor(c.account)) GTEST_SKIP() << test::kNeedsRootForAccountsMessage;
    Scene scene;
    c.arrange(scene);
    DataFolderInputs inputs{scene.program, false, (scene / c.xdg).string(), ""};
    if (c.other_user) inputs.user = ::geteuid() + 1;
    if (c.account != nullptr) inputs.user = test::UidOf(c.account);
    const DataFolder chosen = ChooseDataFolder(inputs);
    ASSERT_FALSE(chosen.ok());
    EXPECT_EQ(chosen.fault, c.fault) << chosen.error;
    if (*c.culprit != '\0') {
      EXPECT_EQ(chosen.culprit, scene / c.culprit);
    }
    EXPECT_FALSE(Exists(scene / c.xdg / "ravolin/rvdat.cfg"));
    const std::string box = DataFolderMessage(chosen, Catalogue());
    EXPECT_EQ(box.rfind("Ravolinのデータフォルダが安全ではありません！\n", 0), 0u) << box;
    const char* reason = c.fault == DataFolderFault::kNotOwned ? "あなたの所有ではありません"
                         : c.fault == DataFolderFault::kForeignLink
                             ? "ほかのユーザーのシンボリックリンク"
                             : "ほかのユーザーも書き込めます";
    EXPECT_NE(box.find(reason), std::string::npos) << box;
    ExpectJapaneseBox(box, chosen.culprit);
  }
}

// The last rows need root, as in the table above.
TEST(DataFolderSafetyTest, ASafeFolderIsUsedByItsNameWithoutLinks) {
  const struct {
    const char* what;
    std::function<void(const Scene&)> arrange;
    const char* expected;           // relative to the root
    const char* account = nullptr;  // an account checked for instead of us (needs root)
  } cases[] = {
      {"made fresh", [](const Scene&) {}, "xdg/ravolin"},
      {"under a sticky folder open to everyone, as /tmp",
       [](const Scene& s) { MakeFolder(s / "xdg", 01777); }, "xdg/ravolin"},
      {"the player's folder kept elsewhere through a link",
       [](const Scene& s) {
         MakeFolder(s / "xdg", 0755);
         MakeFolder(s / "kept", 0700);
         fs::create_symlink(s / "kept", s / "xdg/ravolin");
       },
       "kept"},
      {"open to the owner's own group, as with umask 002 (daemon's group has "
       "no one else)",
       [](const Scene& s) {
         MakeFolderOf(s / "xdg", 0775, "daemon", "daemon");
         MakeFolderOf(s / "xdg/ravolin", 0775, "daemon", "daemon");
       },
       "xdg/ravolin", "daemon"},
      {"an ACL whose mask keeps a named user from writing",
       [](const Scene& s) {
         MakeFolderOf(s / "xdg/ravolin", 0700, "daemon", "daemon");
         GrantThroughAcl(s / "xdg/ravolin", "nobody", 5);
       },
       "xdg/ravolin", "daemon"},
      {"the player's own link in a sticky folder",
       [](const Scene& s) { LinkInStickyFolder(s, "xdg", "ravolin", "daemon"); }, "kept", "daemon"},
      {"root's link in a sticky folder",
       [](const Scene& s) { LinkInStickyFolder(s, "xdg", "ravolin", "root"); }, "kept", "daemon"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!CanArrangeFor(c.account)) GTEST_SKIP() << test::kNeedsRootForAccountsMessage;
    Scene scene;
    c.arrange(scene);
    WriteBytes(scene.program / "rvdat.cfg", {0x01, 0x00});
    DataFolderInputs inputs{scene.program, false, (scene / "xdg").string(), ""};
    if (c.account != nullptr) inputs.user = test::UidOf(c.account);
    const DataFolder chosen = ChooseDataFolder(inputs);
    ASSERT_TRUE(chosen.ok()) << chosen.error;
    EXPECT_EQ(chosen.path, scene / c.expected);
    EXPECT_EQ(ReadBytes(chosen.path / "rvdat.cfg"), (std::vector<uint8_t>{0x01, 0x00}));
  }
}

// The attacks as they were made: a second user plants links in a folder they
// can write, and the player (root here) starts. Nothing may be created or
// written where the links point.
TEST(DataFolderSafetyTest, LinksPlantedByAnotherUserAreNeverUsed) {
  if (::geteuid() != 0) GTEST_SKIP() << test::kNeedsRootMessage;
  const uid_t other = test::kOtherUser;
  const struct {
    const char* what;
    std::function<void(const Scene&)> arrange;  // as the player, before the other user
    const char* xdg;                            // relative to the root
  } cases[] = {
      {"XDG_DATA_HOME belongs to the other user",
       [other](const Scene& s) {
         MakeFolder(s / "xdg", 0755);
         ::chown((s / "xdg").c_str(), other, other);
       },
       "xdg"},
      {"XDG_DATA_HOME open to everyone", [](const Scene& s) { MakeFolder(s / "xdg", 0777); },
       "xdg"},
      {"the folder above XDG_DATA_HOME open to everyone",
       [](const Scene& s) { MakeFolder(s / "base", 0777); }, "base/xdg"},
      {"a sticky XDG_DATA_HOME where the other user came first",
       [](const Scene& s) { MakeFolder(s / "xdg", 01777); }, "xdg"},
      {"the player's own data folder left open to everyone",
       [](const Scene& s) { MakeFolder(s / "xdg/ravolin", 0777); }, "xdg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    MakeFolder(scene / "elsewhere", 0755);
    WriteBytes(scene / "secret", kSecret);
    ::chmod((scene / "secret").c_str(), 0600);
    WriteBytes(scene.program / "rvdat.cfg", {0x03, 0x00});
    c.arrange(scene);
    const fs::path data = scene / c.xdg / "ravolin";
    const bool planted = test::RunAsUser(other, [&] {
      std::error_code ec;
      fs::create_directories(data, ec);
      ::chmod(data.c_str(), 0777);
      return ::symlink((scene / "secret").c_str(), (data / "rvdat.cfg").c_str()) == 0 &&
             ::symlink((scene / "elsewhere/game.lock").c_str(), (data / kGameLockFile).c_str()) ==
                 0 &&
             ::symlink((scene / "elsewhere/dialog.lock").c_str(),
                       (data / kConfigLockFile).c_str()) == 0 &&
             ::symlink((scene / "elsewhere/marker").c_str(), (data / "rvdat.cck").c_str()) == 0;
    });
    ASSERT_TRUE(planted) << "the other user could not plant the links";

    const DataFolder chosen =
        ChooseDataFolder({scene.program, false, (scene / c.xdg).string(), ""});
    EXPECT_FALSE(chosen.ok()) << "the planted folder was trusted";
    EXPECT_TRUE(chosen.fault == DataFolderFault::kNotOwned ||
                chosen.fault == DataFolderFault::kWritableByOthers)
        << chosen.error;

    // Even a direct use of the names follows none of the links.
    std::string error;
    EXPECT_FALSE(WriteConfigValue(data / "rvdat.cfg", 1, &error));
    EXPECT_EQ(ReadConfigValue(data / "rvdat.cfg", &error), 0);
    EXPECT_FALSE(InstanceLock::TryAcquire(data / kGameLockFile).has_value());
    EXPECT_TRUE(IsLockHeldElsewhere(data / kConfigLockFile));

    EXPECT_EQ(ReadBytes(scene / "secret"), kSecret);
    EXPECT_TRUE(fs::is_empty(scene / "elsewhere")) << "a file was made where a link points";
  }
}

// The same between two users neither of whom is root: the player is a third
// user.
TEST(DataFolderSafetyTest, AnOrdinaryPlayerIgnoresAnotherOrdinaryUsersFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << test::kNeedsRootMessage;
  Scene scene;
  const uid_t player = test::kThirdUser;
  MakeFolder(scene / "home", 0755);
  ::chown((scene / "home").c_str(), player, player);
  WriteBytes(scene / "home/secret", kSecret);
  ::chown((scene / "home/secret").c_str(), player, player);
  ::chmod((scene / "home/secret").c_str(), 0600);
  MakeFolder(scene / "shared", 0755);
  ::chown((scene / "shared").c_str(), test::kOtherUser, test::kOtherUser);
  WriteBytes(scene.program / "rvdat.cfg", {0x01, 0x00});
  const fs::path data = scene / "shared/ravolin";
  ASSERT_TRUE(test::RunAsUser(test::kOtherUser, [&] {
    return ::mkdir(data.c_str(), 0777) == 0 && ::chmod(data.c_str(), 0777) == 0 &&
           ::symlink((scene / "home/secret").c_str(), (data / "rvdat.cfg").c_str()) == 0;
  }));
  const bool refused = test::RunAsUser(player, [&] {
    const DataFolder chosen =
        ChooseDataFolder({scene.program, false, (scene / "shared").string(), ""});
    return !chosen.ok() && chosen.fault == DataFolderFault::kNotOwned &&
           !WriteConfigValue(data / "rvdat.cfg", 1);
  });
  EXPECT_TRUE(refused);
  EXPECT_EQ(ReadBytes(scene / "home/secret"), kSecret);
}

}  // namespace
}  // namespace rv
