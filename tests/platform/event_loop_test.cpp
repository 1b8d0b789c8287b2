#include "game/pace/event_loop.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "recording_sink.h"

namespace rv {
namespace {

class EventLoopTest : public ::testing::Test {
 protected:
  HeadlessPlatform platform;
  test::RecordingSink sink{platform};
  EventLoop loop{platform, sink};

  // Virtual milliseconds and pump passes spent by one WaitMs from the current time.
  struct Spent {
    uint32_t ms;
    int passes;
    int sleeps;
  };
  Spent TimeWait(int32_t n) {
    const uint32_t t0 = platform.Now();
    const int p0 = platform.PumpCount();
    const int s0 = platform.SleepCount();
    loop.WaitMs(n);
    return {platform.Now() - t0, platform.PumpCount() - p0, platform.SleepCount() - s0};
  }
};

// On the virtual clock a pass of event servicing takes 1 ms and a sleep exactly 20 ms.
TEST_F(EventLoopTest, NegativeWaitServicesEventsOnceWithoutSleeping) {
  const Spent s = TimeWait(-5);
  EXPECT_EQ(s.passes, 1);
  EXPECT_EQ(s.sleeps, 0);
  EXPECT_EQ(s.ms, 1u);
}

// The one pass already makes a millisecond pass by the first check, so 0 does not sleep
// here; on a real clock, where a pass takes far less, it sleeps once.
TEST_F(EventLoopTest, ZeroWaitReturnsOnceAMillisecondHasPassed) {
  const Spent s = TimeWait(0);
  EXPECT_EQ(s.passes, 1);
  EXPECT_EQ(s.sleeps, 0);
  EXPECT_EQ(s.ms, 1u);
}

// 1 ms pass, then 20 + 1 twice: 43 ms > 40 after three passes and two sleeps.
TEST_F(EventLoopTest, FortyWaitsFortyThreeVirtualMilliseconds) {
  const Spent s = TimeWait(40);
  EXPECT_EQ(s.passes, 3);
  EXPECT_EQ(s.sleeps, 2);
  EXPECT_EQ(s.ms, 43u);
  EXPECT_EQ(platform.TotalSlept(), 40u);
}

TEST_F(EventLoopTest, EveryWaitEndsJustPastItsArgument) {
  for (int32_t n = -3; n <= 250; ++n) {
    SCOPED_TRACE(n);
    const Spent s = TimeWait(n);
    EXPECT_GT(static_cast<int32_t>(s.ms), n);                    // strictly more than n
    EXPECT_LE(static_cast<int32_t>(s.ms), std::max(n, 0) + 21);  // at most one sleep and pass over
    EXPECT_EQ(s.sleeps, s.passes - 1);                           // a pass before every check
    EXPECT_EQ(s.ms, static_cast<uint32_t>(s.passes + 20 * s.sleeps));
  }
}

TEST_F(EventLoopTest, WaitAcrossTheCounterWrapIsNotCutShort) {
  platform.clock().Set(0xFFFFFFF0u);
  const Spent s = TimeWait(40);
  EXPECT_EQ(s.ms, 43u);
  EXPECT_LT(platform.Now(), 0x100u);  // it did wrap
}

TEST_F(EventLoopTest, NowIsTheCounterAsASignedStamp) {
  platform.clock().Set(0x80000005u);
  EXPECT_EQ(loop.Now(), static_cast<int32_t>(0x80000005u));
  EXPECT_LT(loop.Now(), 0);
}

TEST_F(EventLoopTest, KeysArriveOnlyWhileEventsAreServiced) {
  platform.ScheduleKeyDown(5, vk::kX);
  platform.Sleep(100);
  EXPECT_EQ(sink.keys.Key_X, 0);  // nobody serviced events yet
  loop.DoEvents();
  EXPECT_EQ(sink.keys.Key_X, 1);
}

TEST_F(EventLoopTest, KeyPressedDuringAWaitIsSeenAfterIt) {
  platform.ScheduleKeyPress(30, vk::kLeft, 1000);
  loop.WaitMs(40);
  EXPECT_EQ(sink.keys.Key_Left, 1);
  ASSERT_EQ(sink.log.size(), 1u);
  // Delivered by the first pass at or after 30 ms: passes run at 1, 22 and 43.
  EXPECT_EQ(sink.log[0].time, 43u);
}

TEST_F(EventLoopTest, EscapeDuringAWaitLeavesItByTheShutdownPath) {
  platform.ScheduleKeyDown(500, vk::kEscape);
  EXPECT_THROW(loop.WaitMs(10000), ProgramExit);
  EXPECT_GE(platform.Now(), 500u);
  EXPECT_LT(platform.Now(), 500u + 22u);
}

TEST_F(EventLoopTest, OverlongFrameIsNotPadded) {
  FrameStamps stamps;
  loop.StartFrame(stamps);
  platform.Sleep(95);
  const int passes = platform.PumpCount();
  const int sleeps = platform.SleepCount();
  loop.EndFrame(stamps, 80);
  EXPECT_EQ(stamps.FrameEnd - stamps.FrameStart, 95);
  EXPECT_EQ(platform.PumpCount() - passes, 1);
  EXPECT_EQ(platform.SleepCount() - sleeps, 0);
}

TEST_F(EventLoopTest, ShortFrameIsPaddedToItsPeriod) {
  for (int drawing_ms : {0, 10, 30, 79}) {
    SCOPED_TRACE(drawing_ms);
    FrameStamps stamps;
    loop.StartFrame(stamps);
    platform.Sleep(drawing_ms);
    loop.EndFrame(stamps, 80);
    const int32_t frame = loop.Now() - stamps.FrameStart;
    EXPECT_GT(frame, 80);
    EXPECT_LE(frame, 80 + 21);
  }
}

TEST_F(EventLoopTest, FrameStampsAcrossTheWrap) {
  platform.clock().Set(0xFFFFFFFFu - 10);
  FrameStamps stamps;
  loop.StartFrame(stamps);
  platform.Sleep(95);
  const int passes = platform.PumpCount();
  loop.EndFrame(stamps, 80);
  EXPECT_EQ(platform.PumpCount() - passes, 1);
}

class EventLoopTimerTest : public EventLoopTest {
 protected:
  std::vector<uint32_t> ticks;
  void Arm() {
    loop.SetTimer(70, [this] { ticks.push_back(platform.Now()); });
  }
};

TEST_F(EventLoopTimerTest, DisabledTimerNeverTicks) {
  Arm();
  EXPECT_FALSE(loop.TimerEnabled());
  loop.WaitMs(500);
  EXPECT_TRUE(ticks.empty());
}

TEST_F(EventLoopTimerTest, TicksOnlyInsideDoEventsAndMissedTicksCollapse) {
  Arm();
  loop.EnableTimer(true);
  platform.Sleep(300);  // four intervals, but nobody services events
  EXPECT_TRUE(ticks.empty());
  loop.DoEvents();
  EXPECT_EQ(ticks.size(), 1u);
  loop.DoEvents();  // not due again yet
  EXPECT_EQ(ticks.size(), 1u);
}

TEST_F(EventLoopTimerTest, TicksEveryIntervalWhileWaiting) {
  Arm();
  const uint32_t t0 = platform.Now();
  loop.EnableTimer(true);
  loop.WaitMs(1000);
  ASSERT_GE(ticks.size(), 10u);
  EXPECT_LE(ticks.size(), 14u);
  EXPECT_GE(ticks.front() - t0, 70u);
  for (size_t i = 1; i < ticks.size(); ++i) {
    EXPECT_GE(ticks[i] - ticks[i - 1], 70u);
    EXPECT_LE(ticks[i] - ticks[i - 1], 70u + 21u);
  }
}

TEST_F(EventLoopTimerTest, DisablingFromTheTickStopsIt) {
  loop.SetTimer(70, [this] {
    ticks.push_back(platform.Now());
    loop.EnableTimer(false);
  });
  loop.EnableTimer(true);
  loop.WaitMs(1000);
  EXPECT_EQ(ticks.size(), 1u);
  EXPECT_FALSE(loop.TimerEnabled());
}

TEST_F(EventLoopTimerTest, ReEnablingStartsAFreshInterval) {
  Arm();
  loop.EnableTimer(true);
  platform.Sleep(60);
  loop.EnableTimer(false);
  loop.EnableTimer(true);  // due again 70 ms from now, not 10
  platform.Sleep(20);
  loop.DoEvents();
  EXPECT_TRUE(ticks.empty());
  platform.Sleep(60);
  loop.DoEvents();
  EXPECT_EQ(ticks.size(), 1u);
}

TEST_F(EventLoopTimerTest, TickRunsAfterTheKeysOfTheSamePass) {
  loop.SetTimer(70, [this] { ticks.push_back(static_cast<uint32_t>(sink.keys.Key_Up)); });
  loop.EnableTimer(true);
  platform.ScheduleKeyDown(70, vk::kUp);
  platform.Sleep(75);
  loop.DoEvents();
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_EQ(ticks[0], 1u);  // the tick saw the key already handled
}

}  // namespace
}  // namespace rv
