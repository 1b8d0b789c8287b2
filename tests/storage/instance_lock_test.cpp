// The instance locks across real processes: a forked child takes or holds a lock while the
// test process probes it.

#include "storage/instance_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/lock_holder.h"
#include "support/temp_folder.h"

namespace rv {
namespace {

namespace fs = std::filesystem;
using test::LockHolder;

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override { lock_file_ = dir_ / kConfigLockFile; }
  rv::test::TempFolder temp_{"lock_test", rv::test::TempPlace::kTmp};
  fs::path dir_ = temp_.path();
  fs::path lock_file_;
};

TEST_F(InstanceLockTest, AcquireCreatesTheFileAndHoldsIt) {
  auto lock = InstanceLock::TryAcquire(lock_file_);
  ASSERT_TRUE(lock.has_value());
  EXPECT_TRUE(lock->holds_lock());
  EXPECT_TRUE(fs::exists(lock_file_));
  EXPECT_TRUE(IsLockHeldElsewhere(lock_file_));
  // A second open of the same file, even in this process, is a rival holder.
  EXPECT_FALSE(InstanceLock::TryAcquire(lock_file_).has_value());
}

TEST_F(InstanceLockTest, DestructionReleasesButKeepsTheFile) {
  {
    auto lock = InstanceLock::TryAcquire(lock_file_);
    ASSERT_TRUE(lock.has_value());
  }
  EXPECT_TRUE(fs::exists(lock_file_));
  EXPECT_FALSE(IsLockHeldElsewhere(lock_file_));
  EXPECT_TRUE(InstanceLock::TryAcquire(lock_file_).has_value());
}

TEST_F(InstanceLockTest, MovingHandsTheLockOverWithoutReleasingIt) {
  auto first = InstanceLock::TryAcquire(lock_file_);
  ASSERT_TRUE(first.has_value());
  InstanceLock moved(std::move(*first));
  first.reset();  // the moved-from lock must not release anything
  EXPECT_TRUE(moved.holds_lock());
  EXPECT_TRUE(IsLockHeldElsewhere(lock_file_));

  const fs::path other_file = dir_ / kGameLockFile;
  auto other = InstanceLock::TryAcquire(other_file);
  ASSERT_TRUE(other.has_value());
  moved = std::move(*other);  // releases the first file, takes over the second
  EXPECT_FALSE(IsLockHeldElsewhere(lock_file_));
  EXPECT_TRUE(IsLockHeldElsewhere(other_file));
}

TEST_F(InstanceLockTest, HeldByAnotherProcessRefusesUntilItEnds) {
  LockHolder holder(lock_file_);
  ASSERT_TRUE(holder.acquired());
  EXPECT_FALSE(InstanceLock::TryAcquire(lock_file_).has_value());
  EXPECT_TRUE(IsLockHeldElsewhere(lock_file_));
  EXPECT_EQ(holder.Finish(), 0);
  EXPECT_FALSE(IsLockHeldElsewhere(lock_file_));
  EXPECT_TRUE(InstanceLock::TryAcquire(lock_file_).has_value());
}

TEST_F(InstanceLockTest, AnotherProcessCannotTakeALockThisProcessHolds) {
  auto lock = InstanceLock::TryAcquire(lock_file_);
  ASSERT_TRUE(lock.has_value());
  LockHolder rival(lock_file_);
  EXPECT_FALSE(rival.acquired());
  EXPECT_EQ(rival.Finish(), 0);
}

TEST_F(InstanceLockTest, StaleFileFromAKilledProcessDoesNotBlock) {
  LockHolder holder(lock_file_);
  ASSERT_TRUE(holder.acquired());
  holder.Kill();
  ASSERT_TRUE(fs::exists(lock_file_));
  EXPECT_FALSE(IsLockHeldElsewhere(lock_file_));
  auto lock = InstanceLock::TryAcquire(lock_file_);
  ASSERT_TRUE(lock.has_value());
  EXPECT_TRUE(lock->holds_lock());
}

TEST_F(InstanceLockTest, ProbeNeverDisturbsTheHolder) {
  LockHolder holder(lock_file_);
  ASSERT_TRUE(holder.acquired());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(IsLockHeldElsewhere(lock_file_));
  // Still exclusively held after the probes: neither we nor a third process get it.
  EXPECT_FALSE(InstanceLock::TryAcquire(lock_file_).has_value());
  LockHolder third(lock_file_);
  EXPECT_FALSE(third.acquired());
}

TEST_F(InstanceLockTest, ProbeOfAFreeFileLeavesItFree) {
  { auto lock = InstanceLock::TryAcquire(lock_file_); }
  EXPECT_FALSE(IsLockHeldElsewhere(lock_file_));
  // The probe's shared lock must be gone, or this exclusive one would fail.
  LockHolder holder(lock_file_);
  EXPECT_TRUE(holder.acquired());
}

TEST_F(InstanceLockTest, MissingFileIsNotHeldAndIsNotCreatedByTheProbe) {
  EXPECT_FALSE(IsLockHeldElsewhere(lock_file_));
  EXPECT_FALSE(fs::exists(lock_file_));
}

TEST_F(InstanceLockTest, UncreatableFileRunsUnguardedInsteadOfRefusing) {
  const fs::path nowhere = dir_ / "no_such_folder" / kConfigLockFile;
  auto lock = InstanceLock::TryAcquire(nowhere);
  ASSERT_TRUE(lock.has_value());
  EXPECT_FALSE(lock->holds_lock());
  EXPECT_FALSE(IsLockHeldElsewhere(nowhere));
}

TEST(InstanceLockNames, TheTwoProgramsUseDifferentFiles) {
  EXPECT_NE(std::string(kGameLockFile), std::string(kConfigLockFile));
}

}  // namespace
}  // namespace rv
