#include "platform/sdl/streamed_track.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "test_mp3.h"
#include "test_wav.h"

namespace rv {
namespace {

using testing::TempFolder;
using testing::ToneMp3;
using testing::ToneStereoPcm;
using testing::ToneWav;
using testing::WriteBytes;

// The whole track through Read, `block` frames at a time.
std::vector<int16_t> ReadAll(StreamedTrack& track, size_t block) {
  std::vector<int16_t> all;
  std::vector<int16_t> buffer(block * 2);
  for (;;) {
    const size_t got = track.Read(buffer.data(), block);
    all.insert(all.end(), buffer.begin(), buffer.begin() + ptrdiff_t(got * 2));
    if (got < block) break;
  }
  return all;
}

double Rms(const std::vector<int16_t>& s, size_t channel) {
  double sum = 0.0;
  for (size_t i = channel; i < s.size(); i += 2) sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(s.size() / 2));
}

TEST(StreamedTrack, TheDecoderIsGaplessInThisBuild) {
  TempFolder dir("gapless");
  WriteBytes(dir.path() / "t.mp3", ToneMp3(200));
  auto track = StreamedTrack::Open(dir.path() / "t.mp3", 44100);
  ASSERT_NE(track, nullptr);
  EXPECT_TRUE(track->gapless());
}

// The encoder's delay and padding are cut: the track is as long as its PCM, to the frame,
// whatever the size of the pieces it is read in, and its header says so beforehand.
TEST(StreamedTrack, DecodesExactlyThePcmLengthInAnyPieces) {
  TempFolder dir("length");
  struct Case {
    int ms;
    size_t block;
  };
  for (Case c : {Case{100, 64}, Case{1000, 1024}, Case{2300, 4096}, Case{777, 1151},
                 Case{2300, StreamedTrack::kAheadFrames + 1}}) {
    const auto file = dir.path() / "t.mp3";
    WriteBytes(file, ToneMp3(c.ms));
    const size_t frames = ToneStereoPcm(c.ms).size() / 2;
    auto track = StreamedTrack::Open(file, 44100);
    ASSERT_NE(track, nullptr) << c.ms;
    ASSERT_TRUE(track->length().has_value()) << c.ms;
    EXPECT_EQ(*track->length(), frames) << c.ms;
    const auto pcm = ReadAll(*track, c.block);
    EXPECT_EQ(pcm.size() / 2, frames) << c.ms << " in pieces of " << c.block;
    EXPECT_TRUE(track->ended());
    EXPECT_FALSE(track->failed()) << track->error();
    EXPECT_EQ(track->Read(std::vector<int16_t>(64).data(), 32), 0u);  // nothing after the end
  }
}

// A track shorter than one read-ahead is decoded to its end by the first read; it has not
// ended (and the mixer must not say so) until its last frame has been read.
TEST(StreamedTrack, EndsOnlyWhenItsLastFrameIsRead) {
  TempFolder dir("short");
  WriteBytes(dir.path() / "t.mp3", ToneMp3(100));
  auto track = StreamedTrack::Open(dir.path() / "t.mp3", 44100);
  ASSERT_NE(track, nullptr);
  std::vector<int16_t> piece(2 * 64);
  ASSERT_EQ(track->Read(piece.data(), 64), 64u);
  EXPECT_FALSE(track->ended());
  EXPECT_EQ(ReadAll(*track, 64).size() / 2 + 64, ToneStereoPcm(100).size() / 2);
  EXPECT_TRUE(track->ended());
}

TEST(StreamedTrack, RewindGivesTheSameSamplesAgain) {
  TempFolder dir("rewind");
  WriteBytes(dir.path() / "t.mp3", ToneMp3(900));
  auto track = StreamedTrack::Open(dir.path() / "t.mp3", 44100);
  ASSERT_NE(track, nullptr);
  const auto first = ReadAll(*track, 1000);
  ASSERT_TRUE(track->Rewind());
  EXPECT_FALSE(track->ended());
  EXPECT_EQ(ReadAll(*track, 333), first);
  // Rewound from the middle, too.
  ASSERT_TRUE(track->Rewind());
  std::vector<int16_t> some(2 * 5000);
  ASSERT_EQ(track->Read(some.data(), 5000), 5000u);
  ASSERT_TRUE(track->Rewind());
  EXPECT_EQ(ReadAll(*track, 2048), first);
}

// A track of another rate is resampled to the device's: its length in time is kept.
TEST(StreamedTrack, ResamplesToTheRateAskedFor) {
  TempFolder dir("rate");
  struct Case {
    int file_rate, device_rate;
  };
  for (Case c : {Case{44100, 48000}, Case{22050, 44100}, Case{48000, 44100}}) {
    WriteBytes(dir.path() / "t.mp3", ToneMp3(1000, c.file_rate));
    auto track = StreamedTrack::Open(dir.path() / "t.mp3", c.device_rate);
    ASSERT_NE(track, nullptr) << c.file_rate << " -> " << c.device_rate;
    const auto pcm = ReadAll(*track, 1024);
    EXPECT_NEAR(double(pcm.size() / 2), double(c.device_rate), c.device_rate * 0.01)
        << c.file_rate << " -> " << c.device_rate;
    EXPECT_GT(Rms(pcm, 0), 3000.0);
  }
}

TEST(StreamedTrack, FilesWithoutMpegAudioAreRefusedWithAReason) {
  TempFolder dir("refused");
  WriteBytes(dir.path() / "junk.mp3", std::vector<uint8_t>(100, 0x11));
  WriteBytes(dir.path() / "empty.mp3", {});
  WriteBytes(dir.path() / "wave.mp3", ToneWav(300));
  WriteBytes(dir.path() / "zeros.mp3", std::vector<uint8_t>(64 * 1024, 0));
  for (const char* name : {"junk.mp3", "empty.mp3", "wave.mp3", "zeros.mp3", "missing.mp3"}) {
    std::string error;
    EXPECT_EQ(StreamedTrack::Open(dir.path() / name, 44100, &error), nullptr) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
  EXPECT_EQ(StreamedTrack::Open(dir.path(), 44100), nullptr);  // a folder
}

// A file cut short plays what it holds and then ends, like any other track.
TEST(StreamedTrack, ATruncatedTrackEndsEarlyWithoutFailing) {
  TempFolder dir("cut");
  const auto whole = ToneMp3(2000);
  WriteBytes(dir.path() / "t.mp3",
             std::vector<uint8_t>(whole.begin(), whole.begin() + ptrdiff_t(whole.size() / 2)));
  auto track = StreamedTrack::Open(dir.path() / "t.mp3", 44100);
  ASSERT_NE(track, nullptr);
  const auto pcm = ReadAll(*track, 1024);
  EXPECT_GT(pcm.size() / 2, 44100u / 2);
  EXPECT_LT(pcm.size() / 2, 44100u * 2);
  EXPECT_TRUE(track->ended());
  EXPECT_FALSE(track->failed()) << track->error();
}

}  // namespace
}  // namespace rv
