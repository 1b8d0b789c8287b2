#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "config/config_file.h"
#include "config/priority.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace rv {
namespace {

TEST(ConfigFileTest, TwoLittleEndianBytesAtTheStart) {
  test::TempFolder dir;
  const auto file = dir / "rvdat.cfg";
  const struct {
    std::vector<uint8_t> bytes;
    int16_t value;
  } cases[] = {{{0x01, 0x00}, 1},  {{0x03, 0x00}, 3},     {{0x00, 0x00}, 0},
               {{0xFF, 0xFF}, -1}, {{0x04, 0x00}, 4},     {{0x02, 0x00, 0xFF, 0xFF}, 2},
               {{0x05}, 5},        {{0x34, 0x12}, 0x1234}};
  for (const auto& c : cases) {
    test::WriteBytes(file, c.bytes);
    std::string error = "stale";
    EXPECT_EQ(ReadConfigValue(file, &error), c.value);
    EXPECT_TRUE(error.empty());
  }
}

TEST(ConfigFileTest, AMissingFileIsCreatedEmptyAndReadsZero) {
  test::TempFolder dir;
  const auto file = dir / "rvdat.cfg";
  EXPECT_EQ(ReadConfigValue(file), 0);
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST(ConfigFileTest, WritingKeepsTheRestOfALongerFile) {
  test::TempFolder dir;
  const auto file = dir / "rvdat.cfg";
  test::WriteBytes(file, {0x02, 0x00, 0xFF, 0xFF});
  ASSERT_TRUE(WriteConfigValue(file, 1));
  EXPECT_EQ(test::ReadBytes(file), (std::vector<uint8_t>{0x01, 0x00, 0xFF, 0xFF}));
  ASSERT_TRUE(WriteConfigValue(file, -2));
  EXPECT_EQ(ReadConfigValue(file), -2);
  const auto fresh = dir / "new.cfg";
  ASSERT_TRUE(WriteConfigValue(fresh, 3));
  EXPECT_EQ(test::ReadBytes(fresh), (std::vector<uint8_t>{0x03, 0x00}));
}

TEST(ConfigFileTest, FailuresAreReportedDistinctly) {
  test::TempFolder dir;
  const auto folder_in_the_way = dir / "rvdat.cfg";
  std::filesystem::create_directory(folder_in_the_way);
  std::string error;
  EXPECT_EQ(ReadConfigValue(folder_in_the_way, &error), 0);
  EXPECT_NE(error.find("rvdat.cfg"), std::string::npos);
  error.clear();
  EXPECT_FALSE(WriteConfigValue(folder_in_the_way, 1, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WriteConfigValue(dir / "missing" / "rvdat.cfg", 1));
}

TEST(PriorityTest, IndexesMapInIncreasingOrderAndOthersToNothing) {
  EXPECT_EQ(PriorityFromIndex(0), PriorityClass::kIdle);
  EXPECT_EQ(PriorityFromIndex(1), PriorityClass::kNormal);
  EXPECT_EQ(PriorityFromIndex(2), PriorityClass::kHigh);
  EXPECT_EQ(PriorityFromIndex(3), PriorityClass::kRealtime);
  for (int16_t other : {-1, 4, 0x100, -32768, 32767}) EXPECT_FALSE(PriorityFromIndex(other));
}

TEST(PriorityTest, RequestsRiseFromIdleToRealTime) {
  const SchedulingRequest idle = SchedulingFor(PriorityClass::kIdle);
  const SchedulingRequest normal = SchedulingFor(PriorityClass::kNormal);
  const SchedulingRequest high = SchedulingFor(PriorityClass::kHigh);
  const SchedulingRequest realtime = SchedulingFor(PriorityClass::kRealtime);
  EXPECT_EQ(idle.policy, SCHED_IDLE);
  EXPECT_EQ(normal.policy, SCHED_OTHER);
  EXPECT_EQ(normal.nice, 0);
  EXPECT_EQ(high.policy, SCHED_OTHER);
  EXPECT_LT(high.nice, 0);
  EXPECT_TRUE(realtime.policy == SCHED_RR || realtime.policy == SCHED_FIFO);
  EXPECT_GE(realtime.rt_priority, sched_get_priority_min(realtime.policy));
  EXPECT_LE(realtime.rt_priority, 10);
}

TEST(PriorityTest, AnIndexOutsideTheRangeChangesNothing) {
  errno = 0;
  const int nice_before = getpriority(PRIO_PROCESS, 0);
  const int policy_before = sched_getscheduler(0);
  EXPECT_FALSE(ApplyProcessPriority(4));
  EXPECT_FALSE(ApplyProcessPriority(-1));
  EXPECT_EQ(getpriority(PRIO_PROCESS, 0), nice_before);
  EXPECT_EQ(sched_getscheduler(0), policy_before);
}

// Runs `body` in a child process and returns its exit status, so the test process keeps its
// own priority.
int InChild(int (*body)()) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST(PriorityTest, IdleIsAppliedToTheProcess) {
  EXPECT_EQ(InChild([] {
              ApplyProcessPriority(0);
              return sched_getscheduler(0) == SCHED_IDLE ? 0 : 1;
            }),
            0);
}

TEST(PriorityTest, NormalAfterIdleOrARefusalNeverBreaksTheProcess) {
  // Whether the system grants the way back from idle depends on its limits; either way the
  // call returns and the process runs on.
  EXPECT_EQ(InChild([] {
              ApplyProcessPriority(0);
              ApplyProcessPriority(3);
              ApplyProcessPriority(2);
              ApplyProcessPriority(1);
              const int policy = sched_getscheduler(0);
              return policy == SCHED_OTHER || policy == SCHED_IDLE ? 0 : 1;
            }),
            0);
}

}  // namespace
}  // namespace rv
