// The termination signals, each case in a fresh process of its own (a death test that
// re-runs this binary): the handlers and what they record belong to the whole process.

#include "platform/sdl/termination_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

namespace rv {
namespace {

namespace fs = std::filesystem;

class TerminationSignalsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // No process id in the name: the death test's child runs this again and must name the
    // same file.
    marker_ = fs::temp_directory_path() /
              (std::string("rv_signals_") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::ofstream(marker_).put('\0');
  }
  void TearDown() override { fs::remove(marker_); }

  // A runner that leaves SIGINT, SIGQUIT or SIGHUP ignored (a background job) would keep them
  // so.
  static void StartWithDefaults() {
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGQUIT, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
  }

  fs::path marker_;
};

enum class Stage { kStartUp, kEventLoop, kRecordingWait, kAfterRecordingWait, kUncheckedWait };

// What a signal does in each stage: end at once with 128 + the signal and the marker gone, or
// wait as a request with the marker kept.
TEST_F(TerminationSignalsTest, EachStageEndsAtOnceOrRecordsTheRequest) {
  struct Case {
    Stage stage;
    bool ends_at_once;
  };
  const Case cases[] = {{Stage::kStartUp, true},
                        {Stage::kEventLoop, false},
                        {Stage::kRecordingWait, false},
                        {Stage::kAfterRecordingWait, true},
                        {Stage::kUncheckedWait, true}};
  for (const Case& c : cases) {
    for (int sig : {SIGTERM, SIGINT, SIGQUIT, SIGHUP}) {
      SCOPED_TRACE(::testing::Message() << "stage " << int(c.stage) << " signal " << sig);
      std::ofstream(marker_).put('\0');
      auto run = [&] {
        StartWithDefaults();
        TerminationSignals signals;
        signals.RemoveOnAbruptEnd(marker_);
        if (c.stage == Stage::kEventLoop) signals.HandOverToEventLoop();
        if (c.stage == Stage::kRecordingWait) {
          const TerminationSignals::RecordOnly recording;
          ::raise(sig);
          ::_exit(signals.Requested() ? 0 : 3);
        }
        if (c.stage == Stage::kAfterRecordingWait) {
          const TerminationSignals::RecordOnly recording;
        }
        if (c.stage == Stage::kUncheckedWait) {
          signals.HandOverToEventLoop();
          const TerminationSignals::EndAtOnce ending;
          ::raise(sig);
          ::_exit(4);
        }
        ::raise(sig);
        const bool taken = signals.TakeRequest();
        ::_exit(taken && !signals.Requested() ? 0 : 5);
      };
      EXPECT_EXIT(run(), ::testing::ExitedWithCode(c.ends_at_once ? 128 + sig : 0), "");
      EXPECT_EQ(fs::exists(marker_), !c.ends_at_once);
    }
  }
}

// Before the lock is held nothing is named, and an end at once removes nothing.
TEST_F(TerminationSignalsTest, NothingNamedNothingRemoved) {
  auto run = [] {
    StartWithDefaults();
    TerminationSignals signals;
    ::raise(SIGTERM);
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(128 + SIGTERM), "");
  EXPECT_TRUE(fs::exists(marker_));
}

// A diagnostic written into a closed pipe fails as a write and the program goes on; the user
// signals are ignored.
TEST_F(TerminationSignalsTest, PipeAndUserSignalsNeverEndTheProgram) {
  auto run = [] {
    ::signal(SIGPIPE, SIG_DFL);
    ::signal(SIGUSR1, SIG_DFL);
    ::signal(SIGUSR2, SIG_DFL);
    TerminationSignals signals;
    int ends[2];
    if (::pipe(ends) != 0) ::_exit(6);
    ::close(ends[0]);
    const bool failed = ::write(ends[1], "x\n", 2) < 0 && errno == EPIPE;
    ::raise(SIGPIPE);
    ::raise(SIGUSR1);
    ::raise(SIGUSR2);
    ::_exit(failed && !signals.Requested() ? 0 : 7);
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace rv
