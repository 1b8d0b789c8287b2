// The game's message box program as the platform starts it, and the video drivers the game
// accepts as a display.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/sdl/message_helper.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/video_driver_choice.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

TEST(VideoDriverChoice, OnlyARealDisplayUnlessADriverIsAskedFor) {
  struct Case {
    const char* chosen;
    const char* requested;
    bool accepted;
  };
  const Case cases[] = {
      {"x11", "", true},    {"wayland", "", true},    {"offscreen", "", false},
      {"dummy", "", false}, {"KMSDRM", "", false},    {"evdev", "", false},
      {"", "", false},      {"dummy", "dummy", true}, {"offscreen", "offscreen", true},
      {"x11", "x11", true}, {"", "dummy", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AcceptVideoDriver(c.chosen, c.requested), c.accepted)
        << "'" << c.chosen << "' asked '" << c.requested << "'";
  }
}

// Restores one environment variable when the test ends.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// With no X11 and no Wayland display SDL would fall back to its off-screen driver; the game
// must see that as no display.
TEST(VideoDriverChoice, NoDisplayMeansNoWindowEvenThoughSdlCouldDrawOffScreen) {
  const fs::path runtime = fs::temp_directory_path() / "rv_no_display_runtime";
  fs::create_directories(runtime);
  ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
  ScopedEnv display("DISPLAY", nullptr);
  ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.c_str());  // no Wayland socket in here
  ScopedEnv audio("SDL_AUDIODRIVER", "dummy");
  SdlPlatform platform;
  EXPECT_FALSE(platform.OpenWindow("Ravolin Ver 0.31"));
  EXPECT_EQ(platform.DescribeWindow().window_width, 0);
  fs::remove_all(runtime);
}

// A stand-in for rv_message: writes its arguments one per line, ends with a given status.
class FakeHelper {
 public:
  // A folder of this process's own: CTest runs the cases of this file side by side.
  explicit FakeHelper(int status)
      : folder_(fs::temp_directory_path() / ("rv_fake_helper_" + std::to_string(::getpid()))) {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    std::ofstream script(path());
    script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
           << (folder_ / "args").string() << "'\nexit " << status << "\n";
    script.close();
    ::chmod(path().c_str(), 0755);
  }
  ~FakeHelper() { fs::remove_all(folder_); }
  fs::path path() const { return folder_ / "rv_message"; }
  std::vector<std::string> Arguments() const {
    std::ifstream in(folder_ / "args");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  fs::path folder_;
};

TEST(MessageHelper, ArgumentsCarryIconCaptionAndTextAfterTheOptionsEnd) {
  EXPECT_EQ(MessageHelperArguments("起動エラー２", "足りません！", MessageIcon::kWarning),
            (std::vector<std::string>{"--warning", "--", "起動エラー２", "足りません！"}));
  EXPECT_EQ(MessageHelperArguments("Ravolin", "-platform x", MessageIcon::kNone),
            (std::vector<std::string>{"--plain", "--", "Ravolin", "-platform x"}));
}

TEST(MessageHelper, ShownOnlyWhenTheHelperEndsWell) {
  struct Case {
    int status;
    bool shown;
  };
  for (const Case c : {Case{0, true}, Case{2, false}, Case{1, false}, Case{64, false}}) {
    FakeHelper helper(c.status);
    EXPECT_EQ(RunMessageHelper(helper.path(), "エラー", "配列エラーが発生しました！",
                               MessageIcon::kWarning),
              c.shown)
        << c.status;
    EXPECT_EQ(helper.Arguments(), (std::vector<std::string>{"--warning", "--", "エラー",
                                                            "配列エラーが発生しました！"}));
  }
}

TEST(MessageHelper, AMissingOrUnrunnableHelperIsNoBox) {
  EXPECT_FALSE(RunMessageHelper("/nonexistent/rv_message", "Ravolin", "x", MessageIcon::kNone));
  FakeHelper helper(0);
  ::chmod(helper.path().c_str(), 0644);
  EXPECT_FALSE(RunMessageHelper(helper.path(), "Ravolin", "x", MessageIcon::kNone));
  EXPECT_TRUE(helper.Arguments().empty()) << "it ran";
}

// A stand-in for rv_message running the shell commands `body`.
class ScriptHelper {
 public:
  explicit ScriptHelper(const std::string& body)
      : folder_(fs::temp_directory_path() / ("rv_script_helper_" + std::to_string(::getpid()))) {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    std::ofstream script(path());
    script << "#!/bin/sh\n" << body << "\n";
    script.close();
    ::chmod(path().c_str(), 0755);
  }
  ~ScriptHelper() { fs::remove_all(folder_); }
  fs::path path() const { return folder_ / "rv_message"; }
  fs::path file(const char* name) const { return folder_ / name; }
  std::string Read(const char* name) const {
    std::ifstream in(file(name));
    std::string line;
    std::getline(in, line);
    return line;
  }

 private:
  fs::path folder_;
};

TEST(MessageHelper, HowTheBoxEndedFollowsItsStatus) {
  struct Case {
    const char* body;
    MessageBoxOutcome outcome;
  };
  const Case cases[] = {{"exit 0", MessageBoxOutcome::kClosed},
                        {"exit 2", MessageBoxOutcome::kNoDisplay},
                        {"exit 1", MessageBoxOutcome::kNotRun},
                        {"exit 64", MessageBoxOutcome::kNotRun},
                        {"kill -SEGV $$", MessageBoxOutcome::kNotRun}};
  for (const Case& c : cases) {
    ScriptHelper helper(c.body);
    EXPECT_EQ(RunMessageBox(helper.path(), "Ravolin", "x", MessageIcon::kNone, {}), c.outcome)
        << c.body;
  }
}

// A box still open when the program is asked to end goes, and the wait returns: at once for a
// box that leaves on SIGTERM, after a second's grace for one that ignores it. Left open, each
// stand-in would go by itself after 20 s.
TEST(MessageHelper, ARequestToEndTakesTheOpenBoxDown) {
  using Clock = std::chrono::steady_clock;
  for (const char* body : {"echo $$ > \"$(dirname \"$0\")/pid\"; exec sleep 20",
                           "echo $$ > \"$(dirname \"$0\")/pid\"; trap '' TERM\n"
                           "i=0; while [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done"}) {
    SCOPED_TRACE(body);
    ScriptHelper helper(body);
    const auto t0 = Clock::now();
    auto asked = [&] { return Clock::now() - t0 > std::chrono::milliseconds(300); };
    EXPECT_EQ(RunMessageBox(helper.path(), "エラー", "x", MessageIcon::kWarning, asked),
              MessageBoxOutcome::kEnded);
    EXPECT_LT(Clock::now() - t0, std::chrono::seconds(10));  // not the box's 20 s
    const std::string pid = helper.Read("pid");
    ASSERT_FALSE(pid.empty());
    EXPECT_NE(::kill(std::stoi(pid), 0), 0) << "the box still runs";
  }
}

// The game ignores SIGPIPE and the user signals; the box must not inherit that (a Qt program
// writing into a closed pipe would spin on instead of ending).
TEST(MessageHelper, TheBoxGetsTheDefaultSignalsBack) {
  struct sigaction ignore {
  }, saved[3];
  ignore.sa_handler = SIG_IGN;
  const int signals[] = {SIGPIPE, SIGUSR1, SIGUSR2};
  for (int i = 0; i < 3; ++i) ::sigaction(signals[i], &ignore, &saved[i]);
  ScriptHelper helper("grep '^SigIgn:' /proc/$$/status | cut -f2 > \"$(dirname \"$0\")/ign\"");
  RunMessageHelper(helper.path(), "Ravolin", "x", MessageIcon::kNone);
  for (int i = 0; i < 3; ++i) ::sigaction(signals[i], &saved[i], nullptr);
  const std::string ignored = helper.Read("ign");
  ASSERT_FALSE(ignored.empty());
  const unsigned long long mask = std::stoull(ignored, nullptr, 16);
  for (int s : signals) EXPECT_EQ(mask & (1ull << (s - 1)), 0u) << "signal " << s << " ignored";
}

}  // namespace
}  // namespace rv
