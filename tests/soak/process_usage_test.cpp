#include "process_usage.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

TEST(ProcessUsage, CountsEveryDescriptorOpenedAndClosed) {
  const int before = rv::soak::OpenDescriptors();
  ASSERT_GT(before, 0);
  std::vector<int> opened;
  for (int i = 0; i < 3; ++i) {
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    opened.push_back(fd);
    EXPECT_EQ(rv::soak::OpenDescriptors(), before + i + 1);
  }
  for (int fd : opened) ::close(fd);
  EXPECT_EQ(rv::soak::OpenDescriptors(), before);
}

TEST(ProcessUsage, ResidentMemoryFollowsTouchedPages) {
  constexpr size_t kBytes = 32 << 20;
  const int64_t before = rv::soak::ResidentKb();
  ASSERT_GT(before, 0);
  auto block = std::make_unique<char[]>(kBytes);
  std::memset(block.get(), 1, kBytes);  // only touched pages are resident
  const int64_t after = rv::soak::ResidentKb();
  EXPECT_GE(after - before, static_cast<int64_t>(kBytes / 1024) * 9 / 10);
  EXPECT_EQ(block[kBytes - 1], 1);
}

}  // namespace
