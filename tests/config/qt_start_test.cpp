// The start of the two Qt programs without a display, and what rv_message reads from its
// command line.

#include "config/dialog/qt_start.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "app/rv_message/message_request.h"

namespace rv {
namespace {

TEST(QtDisplayConfigured, ANamedPlatformOrDisplayIsSomethingToTry) {
  struct Case {
    const char* qpa;
    const char* display;
    const char* wayland;
    bool configured;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, false},    {"", "", "", false},
      {nullptr, ":0", nullptr, true},        {nullptr, nullptr, "wayland-0", true},
      {"offscreen", nullptr, nullptr, true}, {"", ":99", "", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QtDisplayConfigured(c.qpa, c.display, c.wayland), c.configured)
        << (c.qpa ? c.qpa : "-") << " " << (c.display ? c.display : "-") << " "
        << (c.wayland ? c.wayland : "-");
  }
}

TEST(MessageRequest, IconCaptionAndText) {
  const auto warning = ParseMessageRequest({"--warning", "--", "エラー", "配列エラー"});
  ASSERT_TRUE(warning);
  EXPECT_TRUE(warning->warning);
  EXPECT_EQ(warning->caption, "エラー");
  EXPECT_EQ(warning->text, "配列エラー");
  const auto plain = ParseMessageRequest({"--plain", "--", "Ravolin", "--warning"});
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->warning);
  EXPECT_EQ(plain->text, "--warning");
}

TEST(MessageRequest, AnythingElseIsRefused) {
  const std::vector<std::vector<std::string>> refused = {
      {},
      {"--warning", "--", "caption"},
      {"--warning", "caption", "text"},
      {"--loud", "--", "caption", "text"},
      {"--warning", "--", "caption", "text", "more"},
      {"--", "--warning", "caption", "text"},
  };
  for (const auto& args : refused) EXPECT_FALSE(ParseMessageRequest(args)) << args.size();
}

struct Outcome {
  int status = -1;  // the exit status, or 128 + the signal
  std::string err;
};

// Runs a command through the shell with no display in its environment.
Outcome RunWithoutDisplay(const std::string& command) {
  const std::string line =
      "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + command + " 2>&1 >/dev/null";
  Outcome out;
  FILE* pipe = ::popen(line.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 256> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) out.err += buffer.data();
  const int status = ::pclose(pipe);
  out.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return out;
}

TEST(QtProgramsWithoutDisplay, EndWithOneClearLineAndNoAbort) {
  for (const char* program :
       {RV_MESSAGE_BINARY " --warning -- エラー テキスト", RV_CONFIG_BINARY}) {
    const Outcome out = RunWithoutDisplay(program);
    EXPECT_EQ(out.status, kNoDisplayExitStatus) << program << "\n" << out.err;
    EXPECT_NE(out.err.find("no display to open a window on"), std::string::npos) << out.err;
    EXPECT_EQ(out.err.find("Reinstalling"), std::string::npos) << out.err;
  }
}

// A display that is named but does not answer: Qt's start fails inside the application.
TEST(QtProgramsWithoutDisplay, ADisplayThatDoesNotAnswerIsNoAbortEither) {
  for (const char* program : {RV_MESSAGE_BINARY " --plain -- Ravolin text", RV_CONFIG_BINARY}) {
    const Outcome out = RunWithoutDisplay(std::string("DISPLAY=:87 ") + program);
    EXPECT_EQ(out.status, kNoDisplayExitStatus) << program << "\n" << out.err;
    EXPECT_NE(out.err.find("no display to open a window on"), std::string::npos) << out.err;
  }
}

TEST(QtProgramsWithoutDisplay, RvMessageRefusesArgumentsItDoesNotKnow) {
  const Outcome out = RunWithoutDisplay(RV_MESSAGE_BINARY " --loud caption text");
  EXPECT_EQ(out.status, 64);
  EXPECT_NE(out.err.find("usage: rv_message"), std::string::npos) << out.err;
}

}  // namespace
}  // namespace rv
