// Stored files that are not what they seem: FIFOs, devices and folders in place of the
// ranking, the setting and the locks; locks that cannot be read; what killed writers leave.
// Every check runs under an alarm: a reader that waits on a FIFO ends the test run instead
// of hanging it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "config/config_file.h"
#include "game/ranking/ranking_file.h"
#include "storage/atomic_file.h"
#include "storage/instance_lock.h"
#include "storage/stored_file.h"
#include "support/temp_folder.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kHangLimitSeconds = 150;

class StoredFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Far above what any check takes, also under the sanitizers on a loaded machine, and
    // still below CTest's own limit: only a real hang reaches it.
    ::alarm(kHangLimitSeconds);
  }
  void TearDown() override { ::alarm(0); }

  rv::test::TempFolder temp_{"stored_test", rv::test::TempPlace::kTmp};
  fs::path dir_ = temp_.path();
};

// Runs `body` in a forked child and expects it to exit 0; `legend` reads the other codes.
void ExpectChildSucceeds(const std::function<int()>& body, const char* legend) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << legend;
}

// `check` as the user nobody runs it; 9 when the child cannot become nobody.
std::function<int()> AsNobody(std::function<int()> check) {
  return [check = std::move(check)] {
    return ::setgid(65534) != 0 || ::setuid(65534) != 0 ? 9 : check();
  };
}

// What is put in a stored file's place. A device node is made only where the test may
// (as root), in the test's own folder: never a link to a node of the system.
enum class Odd { kFifo, kFolder, kDevice, kLinkToFifo, kLinkToDevice };

struct OddCase {
  Odd kind;
  const char* name;
};

constexpr OddCase kOddCases[] = {{Odd::kFifo, "FIFO"},
                                 {Odd::kFolder, "folder"},
                                 {Odd::kDevice, "device"},
                                 {Odd::kLinkToFifo, "link to a FIFO"},
                                 {Odd::kLinkToDevice, "link to a device"}};

bool MakeOdd(Odd kind, const fs::path& place, const fs::path& spare) {
  switch (kind) {
    case Odd::kFifo:
      return ::mkfifo(place.c_str(), 0644) == 0;
    case Odd::kFolder:
      return fs::create_directory(place);
    case Odd::kDevice:
      return ::mknod(place.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    case Odd::kLinkToFifo:
      return ::mkfifo(spare.c_str(), 0644) == 0 && ::symlink(spare.c_str(), place.c_str()) == 0;
    case Odd::kLinkToDevice:
      return ::mknod(spare.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
             ::symlink(spare.c_str(), place.c_str()) == 0;
  }
  return false;
}

// The kind of node behind a name (links followed), to see that nothing replaced it.
mode_t KindOf(const fs::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

TEST_F(StoredFilesTest, EveryReaderAndWriterRefusesANonRegularFileByNameAndAtOnce) {
  for (const OddCase& odd : kOddCases) {
    SCOPED_TRACE(odd.name);
    const fs::path spare = dir_ / "elsewhere";
    for (const char* stored : {"rvdat.dat", "rvdat.cfg", kGameLockFile}) {
      SCOPED_TRACE(stored);
      const fs::path file = dir_ / stored;
      fs::remove_all(file);
      fs::remove_all(spare);
      if (!MakeOdd(odd.kind, file, spare)) {
        ASSERT_NE(::geteuid(), 0u) << "root could not make the node";
        continue;  // devices need root
      }
      const mode_t before = KindOf(file);

      const RankingLoad load = LoadRankingFile(file);
      EXPECT_FALSE(load.ok);
      EXPECT_NE(load.error.find(file.string()), std::string::npos) << load.error;
      EXPECT_NE(load.error.find(kNotRegularReason), std::string::npos) << load.error;

      RankingTables tables;
      tables.RankScore[0] = 5000;
      const FileResult written = WriteRankingFile(file, tables);
      EXPECT_FALSE(written.ok);
      EXPECT_NE(written.error.find(kNotRegularReason), std::string::npos) << written.error;

      std::string error;
      EXPECT_EQ(ReadConfigValue(file, &error), 0);
      EXPECT_NE(error.find(kNotRegularReason), std::string::npos) << error;
      EXPECT_FALSE(WriteConfigValue(file, 2, &error));

      FileFailure problem;
      EXPECT_FALSE(InstanceLock::TryAcquire(file, &problem).has_value());
      EXPECT_NE(problem.English().find(file.string()), std::string::npos) << problem.English();
      EXPECT_TRUE(IsLockHeldElsewhere(file, &problem));
      EXPECT_NE(problem.English().find(kNotRegularReason), std::string::npos) << problem.English();

      EXPECT_EQ(KindOf(file), before) << "the node behind the name was replaced";
      EXPECT_TRUE(fs::is_symlink(file) ==
                  (odd.kind == Odd::kLinkToFifo || odd.kind == Odd::kLinkToDevice));
    }
  }
}

// A link in place of the setting or a lock file is refused by name and never followed:
// nothing is read, written or made where it points, whether a file is there or not.
TEST_F(StoredFilesTest, ALinkInPlaceOfTheSettingOrALockIsNeverFollowed) {
  const std::vector<uint8_t> kTarget = {'A', 'B', 'C'};
  for (const bool target_exists : {true, false}) {
    SCOPED_TRACE(target_exists ? "link to a file" : "dangling link");
    for (const char* stored : {"rvdat.cfg", kGameLockFile, kConfigLockFile}) {
      SCOPED_TRACE(stored);
      const fs::path file = dir_ / stored;
      const fs::path target = dir_ / "target";
      fs::remove(file);
      fs::remove(target);
      if (target_exists) std::ofstream(target, std::ios::binary).write("ABC", 3);
      fs::create_symlink(target, file);

      std::string error;
      EXPECT_EQ(ReadConfigValue(file, &error), 0);
      EXPECT_NE(error.find(kSymbolicLinkReason), std::string::npos) << error;
      EXPECT_FALSE(WriteConfigValue(file, 0x0101, &error));
      EXPECT_NE(error.find(file.string()), std::string::npos) << error;

      FileFailure problem;
      EXPECT_FALSE(InstanceLock::TryAcquire(file, &problem).has_value());
      EXPECT_NE(problem.English().find(kSymbolicLinkReason), std::string::npos)
          << problem.English();
      EXPECT_TRUE(IsLockHeldElsewhere(file, &problem));
      EXPECT_NE(problem.English().find(kSymbolicLinkReason), std::string::npos)
          << problem.English();

      EXPECT_TRUE(fs::is_symlink(file));
      if (target_exists) {
        std::ifstream in(target, std::ios::binary);
        EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), kTarget);
      } else {
        EXPECT_FALSE(fs::exists(target)) << "a file was made where the link points";
      }
    }
  }
}

TEST_F(StoredFilesTest, AReadOnlySettingIsStillRead) {
  const fs::path file = dir_ / "rvdat.cfg";
  std::ofstream(file, std::ios::binary) << std::string("\x02\x00", 2);
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // As root the permission bits do not stop a write; a second user reads as the player does.
  std::function<int()> check = [&] {
    std::string error;
    const int16_t value = ReadConfigValue(file, &error);
    const bool refused = !WriteConfigValue(file, 3, &error);
    return (value == 2 ? 0 : 1) | (refused ? 0 : 2);
  };
  if (::geteuid() != 0) {
    EXPECT_EQ(check(), 0);
    return;
  }
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  ExpectChildSucceeds(AsNobody(check), "1: value not read, 2: written, 9: no second user");
}

// A lock file of another user that this user may not open: the lock cannot be verified,
// so another copy may run, and the start is refused as for a held lock.
TEST_F(StoredFilesTest, ALockThatCannotBeOpenedCountsAsHeld) {
  const fs::path lock_file = dir_ / kGameLockFile;
  std::ofstream(lock_file) << "";
  fs::permissions(lock_file, fs::perms::none);
  auto try_lock = [&] {
    FileFailure problem;
    const bool refused = !InstanceLock::TryAcquire(lock_file, &problem).has_value();
    const bool held = IsLockHeldElsewhere(lock_file);
    return (refused ? 0 : 1) | (held ? 0 : 2) | (problem.empty() ? 4 : 0);
  };
  if (::geteuid() != 0) {
    EXPECT_EQ(try_lock(), 0);
    return;
  }
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec |
                            fs::perms::others_write);
  ExpectChildSucceeds(AsNobody(try_lock),
                      "1: lock taken, 2: probe saw it free, 4: no reason given, 9: no second user");
}

std::vector<std::string> TemporariesIn(const fs::path& dir, const fs::path& target) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (IsTemporaryNameOf(target, name)) names.push_back(name);
  }
  return names;
}

TEST_F(StoredFilesTest, TemporariesOfDeadWritersGoAndALiveWritersStays) {
  const fs::path target = dir_ / "rvdat.dat";
  for (const char* name : {".rvdat.dat.aB3xY9", ".rvdat.dat.000000", ".rvdat.dat.live00"}) {
    std::ofstream(dir_ / name) << "left by a killed writer";
  }
  // Names that are not our writer's stay whatever they hold.
  for (const char* name : {".rvdat.dat.toolong7", ".rvdat.dat.ab-cd1", "rvdat.dat.aB3xY9"}) {
    std::ofstream(dir_ / name) << "someone else's";
  }
  const int live = ::open((dir_ / ".rvdat.dat.live00").c_str(), O_RDONLY);
  ASSERT_GE(live, 0);
  ASSERT_EQ(::flock(live, LOCK_EX), 0);

  ASSERT_TRUE(ReplaceFileAtomically(target, std::array<uint8_t, 3>{1, 2, 3}).ok);
  EXPECT_EQ(TemporariesIn(dir_, target), std::vector<std::string>{".rvdat.dat.live00"});
  for (const char* name : {".rvdat.dat.toolong7", ".rvdat.dat.ab-cd1", "rvdat.dat.aB3xY9"}) {
    EXPECT_TRUE(fs::exists(dir_ / name)) << name;
  }
  ::close(live);
  ASSERT_TRUE(ReplaceFileAtomically(target, std::array<uint8_t, 1>{4}).ok);
  EXPECT_TRUE(TemporariesIn(dir_, target).empty());
  EXPECT_EQ(fs::file_size(target), 1u);
}

std::vector<uint8_t> Bytes(const fs::path& file) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(ReadStoredFile(file, bytes, &error)) << error;
  return bytes;
}

RankingTables TablesWithTop(int32_t score) {
  RankingTables tables;
  tables.RankScore[0] = score;
  tables.RankMoves[0] = 12.5;
  tables.RankTime[0] = score / 3;
  return tables;
}

// Rewrites killed with SIGKILL at random moments: the file is always the whole old ranking
// or the whole new one, with its tail, and temporary files never pile up.
TEST_F(StoredFilesTest, RewritesKilledAtRandomMomentsNeverTearTheFile) {
  const fs::path file = dir_ / "rvdat.dat";
  const std::string tail(5000, 't');
  {
    const auto first = EncodeRanking(TablesWithTop(1));
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(first.data()), first.size());
    out << tail;
  }
  std::vector<std::vector<uint8_t>> allowed;
  for (int32_t score : {1, 1000, 2000}) {
    const auto encoded = EncodeRanking(TablesWithTop(score));
    std::vector<uint8_t> whole(encoded.size() + tail.size());
    std::copy(tail.begin(), tail.end(), std::copy(encoded.begin(), encoded.end(), whole.begin()));
    allowed.push_back(std::move(whole));
  }
  std::srand(20261207);
  constexpr int kKills = 300;
  int torn = 0;
  std::size_t most_temporaries = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (int32_t n = 0;; ++n) WriteRankingFile(file, TablesWithTop(n % 2 == 0 ? 1000 : 2000));
    }
    ::usleep(static_cast<useconds_t>(std::rand() % 3000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::vector<uint8_t> now = Bytes(file);
    if (std::find(allowed.begin(), allowed.end(), now) == allowed.end()) ++torn;
    most_temporaries = std::max(most_temporaries, TemporariesIn(dir_, file).size());
  }
  EXPECT_EQ(torn, 0) << "of " << kKills << " kills";
  // Each write removes what the one before it left: at most the killed one's is there.
  EXPECT_LE(most_temporaries, 1u);
  ASSERT_TRUE(WriteRankingFile(file, TablesWithTop(7)).ok);
  EXPECT_TRUE(TemporariesIn(dir_, file).empty());
}

// A disk that fills while the new ranking is written (a file size limit makes the write
// fail part-way): the old file stays whole and no temporary file is left.
TEST_F(StoredFilesTest, AFullDiskLeavesTheOldRankingWhole) {
  const fs::path file = dir_ / "rvdat.dat";
  ASSERT_TRUE(WriteRankingFile(file, TablesWithTop(1)).ok);
  const std::vector<uint8_t> before = Bytes(file);
  ExpectChildSucceeds(
      [&file] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 9;
        const FileResult result = WriteRankingFile(file, TablesWithTop(4000));
        return result.ok ? 1 : (result.error.find(file.string()) != std::string::npos ? 0 : 2);
      },
      "1: reported as written, 2: error does not name the file");
  EXPECT_EQ(Bytes(file), before);
  EXPECT_TRUE(TemporariesIn(dir_, file).empty());
}

}  // namespace
}  // namespace rv
