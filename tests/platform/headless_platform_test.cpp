#include "platform/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/headless/headless_audio.h"
#include "recording_sink.h"
#include "support/temp_folder.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

class HeadlessPlatformTest : public ::testing::Test {
 protected:
  HeadlessPlatform platform;
  test::RecordingSink sink{platform};

  void PumpUntil(uint32_t t) {
    while (static_cast<int32_t>(platform.Now() - t) < 0) platform.PumpEvents(sink);
  }

  test::TempFolder temp_{"platform_test"};
  fs::path TempFolder() { return temp_.path(); }
};

TEST_F(HeadlessPlatformTest, ClockMovesOnlyBySleepAndPasses) {
  EXPECT_EQ(platform.Now(), 0u);
  platform.Sleep(20);
  EXPECT_EQ(platform.Now(), 20u);
  platform.Sleep(0);
  platform.Sleep(-7);
  EXPECT_EQ(platform.Now(), 20u);
  platform.PumpEvents(sink);
  platform.PumpEvents(sink);
  EXPECT_EQ(platform.Now(), 22u);
  EXPECT_EQ(platform.PumpCount(), 2);
  EXPECT_EQ(platform.SleepCount(), 3);
}

TEST_F(HeadlessPlatformTest, ScriptedKeysArriveAtTheirTimesInOrder) {
  platform.ScheduleKeyUp(30, vk::kRight);
  platform.ScheduleKeyDown(10, vk::kRight);
  platform.ScheduleKeyDown(30, vk::kX);  // same time as the key-up: scripted later, comes later
  PumpUntil(9);
  EXPECT_TRUE(sink.log.empty());
  PumpUntil(10);
  ASSERT_EQ(sink.log.size(), 1u);
  EXPECT_EQ(sink.log[0].what, "down");
  EXPECT_EQ(sink.log[0].value, vk::kRight);
  EXPECT_EQ(sink.keys.Key_Right, 1);
  PumpUntil(40);
  ASSERT_EQ(sink.log.size(), 3u);
  EXPECT_EQ(sink.log[1].what, "up");
  EXPECT_EQ(sink.log[1].time, 30u);
  EXPECT_EQ(sink.log[2].what, "down");
  EXPECT_EQ(sink.log[2].value, vk::kX);
  EXPECT_EQ(sink.keys.Key_Right, 0);
  EXPECT_EQ(sink.keys.Key_X, 1);
  EXPECT_EQ(platform.PendingEvents(), 0u);
}

TEST_F(HeadlessPlatformTest, LateEventsAllArriveInOnePass) {
  platform.ScheduleKeyPress(5, vk::kZ, 10);
  platform.Sleep(100);
  platform.PumpEvents(sink);
  ASSERT_EQ(sink.log.size(), 2u);
  EXPECT_EQ(sink.log[0].what, "down");
  EXPECT_EQ(sink.log[1].what, "up");
  EXPECT_EQ(sink.keys.Key_Z, 0);
}

TEST_F(HeadlessPlatformTest, ThrowingHandlerLeavesTheRestOfTheScript) {
  platform.ScheduleKeyDown(1, vk::kEscape);
  platform.ScheduleKeyDown(1, vk::kUp);
  EXPECT_THROW(platform.PumpEvents(sink), ProgramExit);
  EXPECT_EQ(platform.PendingEvents(), 1u);
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.keys.Key_Up, 1);
}

TEST_F(HeadlessPlatformTest, ScriptedCloseReachesTheSink) {
  platform.ScheduleClose(50);
  EXPECT_NO_THROW(PumpUntil(49));
  EXPECT_THROW(PumpUntil(60), ProgramExit);
  ASSERT_FALSE(sink.log.empty());
  EXPECT_EQ(sink.log.back().what, "close");
  EXPECT_EQ(sink.log.back().time, 50u);
}

// A bot that holds Right until the game's state (here: the clock) says stop, then decides.
TEST_F(HeadlessPlatformTest, DriverPressesKeysFromTheStateItSees) {
  int calls = 0;
  platform.SetDriver([&](HeadlessPlatform& p) {
    ++calls;
    if (p.Now() == 3) p.PressKey(vk::kRight);
    if (p.Now() == 6) {
      p.ReleaseKey(vk::kRight);
      p.PressKey(vk::kX);
    }
  });
  platform.PumpEvents(sink);
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.keys.Key_Right, 0);
  platform.PumpEvents(sink);
  EXPECT_EQ(sink.keys.Key_Right, 1);  // pressed and delivered in the same pass
  for (int i = 0; i < 3; ++i) platform.PumpEvents(sink);
  EXPECT_EQ(sink.keys.Key_Right, 0);
  EXPECT_EQ(sink.keys.Key_X, 1);
  EXPECT_EQ(calls, 6);
}

TEST_F(HeadlessPlatformTest, FinishedMusicIsReportedOnce) {
  auto* audio = dynamic_cast<HeadlessAudio*>(&platform.audio());
  if (audio == nullptr) GTEST_SKIP() << "no recording audio in this build";
  const fs::path folder = TempFolder();
  std::ofstream(folder / "track.mp3") << "not really a track";
  audio->SetTrackLength(1, 100);
  ASSERT_TRUE(audio->OpenMusic(1, folder / "track.mp3"));
  audio->PlayMusic(1);
  PumpUntil(99);
  for (const auto& e : sink.log) EXPECT_NE(e.what, "music_done");
  PumpUntil(150);
  int done = 0;
  for (const auto& e : sink.log) {
    if (e.what == "music_done") {
      ++done;
      EXPECT_EQ(e.value, 1);
    }
  }
  EXPECT_EQ(done, 1);
}

std::vector<uint32_t> TestPicture(int w, int h) {
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      pixels[static_cast<size_t>(y) * w + x] = (static_cast<uint32_t>(x & 0xFF) << 16) |
                                               (static_cast<uint32_t>(y & 0xFF) << 8) |
                                               static_cast<uint32_t>((x * 7 + y * 3) & 0xFF);
    }
  }
  return pixels;
}

TEST_F(HeadlessPlatformTest, PresentCapturesACopyOfTheFrame) {
  std::vector<uint32_t> pixels = TestPicture(640, 480);
  platform.Sleep(123);
  platform.Present(FrameView{pixels.data(), 640, 480});
  const std::vector<uint32_t> expected = pixels;
  pixels.assign(pixels.size(), 0xFFFFFF);  // the game draws on; the capture must not change
  const CapturedFrame& frame = platform.LastFrame();
  EXPECT_EQ(platform.FrameCount(), 1);
  EXPECT_EQ(frame.width, 640);
  EXPECT_EQ(frame.height, 480);
  EXPECT_EQ(frame.time, 123u);
  EXPECT_EQ(frame.pixels, expected);
  EXPECT_EQ(frame.Pixel(639, 479), expected.back());
  EXPECT_EQ(frame.Pixel(640, 0), 0u);
  EXPECT_EQ(frame.Pixel(-1, 5), 0u);
  EXPECT_TRUE(platform.Frames().empty());  // not asked to keep them all
}

TEST_F(HeadlessPlatformTest, KeepsAllFramesWhenAsked) {
  platform.KeepAllFrames(true);
  for (uint32_t colour : {0x112233u, 0x445566u, 0x778899u}) {
    std::vector<uint32_t> pixels(4 * 3, colour);
    platform.Present(FrameView{pixels.data(), 4, 3});
    platform.Sleep(40);
  }
  ASSERT_EQ(platform.Frames().size(), 3u);
  EXPECT_EQ(platform.Frames()[0].Pixel(2, 2), 0x112233u);
  EXPECT_EQ(platform.Frames()[2].Pixel(0, 0), 0x778899u);
  EXPECT_EQ(platform.Frames()[1].time, 40u);
  EXPECT_EQ(platform.LastFrame().Pixel(3, 1), 0x778899u);
}

TEST_F(HeadlessPlatformTest, EmptyFramesAreIgnored) {
  std::vector<uint32_t> pixels(16, 0xABCDEF);
  platform.Present(FrameView{pixels.data(), 4, 4});
  platform.Present(FrameView{nullptr, 640, 480});
  platform.Present(FrameView{pixels.data(), 0, 4});
  platform.Present(FrameView{pixels.data(), 4, -1});
  EXPECT_EQ(platform.FrameCount(), 1);
  EXPECT_EQ(platform.LastFrame().Pixel(1, 1), 0xABCDEFu);
}

TEST_F(HeadlessPlatformTest, SavedFrameReadsBackPixelForPixel) {
  const fs::path folder = TempFolder();
  std::vector<uint32_t> pixels = TestPicture(64, 48);
  platform.Present(FrameView{pixels.data(), 64, 48});
  ASSERT_TRUE(platform.SaveLastFrame(folder / "frame.png"));
  CapturedFrame back;
  ASSERT_TRUE(LoadPng(folder / "frame.png", back));
  EXPECT_EQ(back.width, 64);
  EXPECT_EQ(back.height, 48);
  EXPECT_EQ(back.pixels, pixels);
}

TEST_F(HeadlessPlatformTest, SavingAndLoadingFailCleanly) {
  const fs::path folder = TempFolder();
  EXPECT_FALSE(platform.SaveLastFrame(folder / "nothing.png"));  // no frame yet
  std::vector<uint32_t> pixels = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
  platform.Present(FrameView{pixels.data(), 2, 2});
  EXPECT_FALSE(platform.SaveLastFrame(folder / "no" / "such" / "folder.png"));

  CapturedFrame back;
  EXPECT_FALSE(LoadPng(folder / "missing.png", back));
  ASSERT_TRUE(platform.SaveLastFrame(folder / "whole.png"));
  std::ifstream in(folder / "whole.png", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (size_t cut : {size_t{0}, size_t{8}, size_t{30}, bytes.size() / 2}) {
    std::ofstream(folder / "cut.png", std::ios::binary).write(bytes.data(), cut);
    EXPECT_FALSE(LoadPng(folder / "cut.png", back)) << cut;
  }
  // Only the end marker's checksum missing: the picture itself is whole, so it loads and
  // reads right (a load that failed here would leave nothing compared).
  std::ofstream(folder / "cut.png", std::ios::binary).write(bytes.data(), bytes.size() - 1);
  ASSERT_TRUE(LoadPng(folder / "cut.png", back));
  EXPECT_EQ(back.pixels, pixels);
}

// What the game asks of the desktop is recorded, never shown: the boxes with their time, the
// window with its caption (or a refusal when told), and the program folder it is given.
TEST_F(HeadlessPlatformTest, RecordsWhatTheGameAsksOfTheDesktop) {
  platform.Sleep(7);
  platform.ShowMessage("Ravolinの起動に失敗しました！", "Ravolin", MessageIcon::kNone);
  platform.ShowMessage("a\r\nb", "起動エラー１", MessageIcon::kWarning);
  ASSERT_EQ(platform.Messages().size(), 2u);
  EXPECT_EQ(platform.Messages()[0].text, "Ravolinの起動に失敗しました！");
  EXPECT_EQ(platform.Messages()[0].caption, "Ravolin");
  EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::kNone);
  EXPECT_EQ(platform.Messages()[0].time, 7u);
  EXPECT_EQ(platform.Messages()[1].text, "a\r\nb");
  EXPECT_EQ(platform.Messages()[1].icon, MessageIcon::kWarning);

  EXPECT_TRUE(platform.OpenWindow("Ravolin Ver 0.31"));
  EXPECT_TRUE(platform.WindowOpen());
  EXPECT_EQ(platform.WindowCaption(), "Ravolin Ver 0.31");
  platform.CloseWindow();
  platform.CloseWindow();
  EXPECT_FALSE(platform.WindowOpen());
  platform.SetWindowFails(true);
  EXPECT_FALSE(platform.OpenWindow("Ravolin Ver 0.31"));
  EXPECT_FALSE(platform.WindowOpen());

  EXPECT_TRUE(fs::exists(platform.ProgramFolder() / "rv_platform_tests"));
  platform.SetProgramFolder(TempFolder());
  EXPECT_EQ(platform.ProgramFolder(), TempFolder());
}

}  // namespace
}  // namespace rv
