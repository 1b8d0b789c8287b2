#include "platform/headless/headless_audio.h"

#include <gtest/gtest.h>

#include "test_wav.h"

namespace rv {
namespace {

using testing::TempFolder;
using testing::ToneWav;
using testing::WriteBytes;

void PutLe32At(std::vector<uint8_t>& wav, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) wav[at + i] = uint8_t(v >> (8 * i));
}

TEST(WavDuration, ReadsLengthForRatesAndChannels) {
  TempFolder dir("wavlen");
  struct Case {
    int ms, rate, channels;
  };
  for (Case c :
       {Case{250, 44100, 1}, Case{1000, 22050, 2}, Case{40, 8000, 1}, Case{1500, 48000, 2}}) {
    const auto file = dir.path() / "t.wav";
    WriteBytes(file, ToneWav(c.ms, c.rate, c.channels));
    const auto ms = HeadlessAudio::WavDurationMs(file);
    ASSERT_TRUE(ms.has_value()) << c.ms << " " << c.rate << " " << c.channels;
    EXPECT_EQ(*ms, uint32_t(c.ms)) << c.rate << " " << c.channels;
  }
}

TEST(WavDuration, SkipsUnknownChunksIncludingOddSizedOnes) {
  TempFolder dir("wavchunks");
  std::vector<uint8_t> wav = ToneWav(300);
  // Insert a 3-byte "LIST" chunk (padded to 4) between the format and the data.
  const std::vector<uint8_t> extra = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  wav.insert(wav.begin() + 36, extra.begin(), extra.end());
  WriteBytes(dir.path() / "t.wav", wav);
  EXPECT_EQ(HeadlessAudio::WavDurationMs(dir.path() / "t.wav"), 300u);
}

TEST(WavDuration, DamagedFilesGiveNothingOrWhatTheyHold) {
  TempFolder dir("wavbad");
  const auto file = dir.path() / "t.wav";
  const std::vector<uint8_t> good = ToneWav(400);

  // Truncated in the middle of the samples: the part that is there.
  std::vector<uint8_t> cut(good.begin(), good.begin() + 44 + 44100 / 10 * 2);
  WriteBytes(file, cut);
  EXPECT_EQ(HeadlessAudio::WavDurationMs(file), 100u);

  // Truncated inside the header.
  WriteBytes(file, std::vector<uint8_t>(good.begin(), good.begin() + 30));
  EXPECT_FALSE(HeadlessAudio::WavDurationMs(file));

  // A byte rate that does not match rate x block size.
  std::vector<uint8_t> bad_rate = good;
  PutLe32At(bad_rate, 28, 0);
  WriteBytes(file, bad_rate);
  EXPECT_FALSE(HeadlessAudio::WavDurationMs(file));

  // A chunk size far past the end of the file, before the data.
  std::vector<uint8_t> huge = good;
  PutLe32At(huge, 16, 0xFFFFFFF0u);
  WriteBytes(file, huge);
  EXPECT_FALSE(HeadlessAudio::WavDurationMs(file));

  // Not a WAV at all, empty, and missing.
  WriteBytes(file, {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_FALSE(HeadlessAudio::WavDurationMs(file));
  WriteBytes(file, {});
  EXPECT_FALSE(HeadlessAudio::WavDurationMs(file));
  EXPECT_FALSE(HeadlessAudio::WavDurationMs(dir.path() / "none.wav"));
}

class HeadlessMusic : public ::testing::Test {
 protected:
  HeadlessMusic() : dir_("headless_music"), audio_(clock_) {
    WriteBytes(dir_.path() / "a.wav", ToneWav(800));
    WriteBytes(dir_.path() / "b.mp3", {0xFF, 0xFB, 0x90, 0x00});
  }
  // Opens a track of `length_ms` on the player and starts it.
  void PlayTrack(int player, uint32_t length_ms) {
    audio_.SetTrackLength(player, length_ms);
    ASSERT_TRUE(audio_.OpenMusic(player, dir_.path() / "b.mp3"));
    audio_.PlayMusic(player);
  }
  TempFolder dir_;
  VirtualClock clock_;
  HeadlessAudio audio_;
};

TEST_F(HeadlessMusic, OpenRecordsAndTakesLengthsFromWavOrDefault) {
  EXPECT_TRUE(audio_.OpenMusic(0, dir_.path() / "a.wav"));
  EXPECT_TRUE(audio_.OpenMusic(1, dir_.path() / "b.mp3"));
  EXPECT_FALSE(audio_.OpenMusic(1, dir_.path() / "missing.mp3"));
  EXPECT_FALSE(audio_.OpenMusic(2, dir_.path() / "a.wav"));
  ASSERT_EQ(audio_.records().size(), 3u);
  EXPECT_EQ(audio_.records()[0].text, "music_open 0 a.wav");
  EXPECT_EQ(audio_.records()[1].text, "music_open 1 b.mp3");
  EXPECT_EQ(audio_.records()[2].text, "music_open 1 missing.mp3 failed");

  audio_.PlayMusic(0);
  clock_.Advance(799);
  EXPECT_TRUE(audio_.TakeFinishedMusic().empty());
  clock_.Advance(1);
  EXPECT_EQ(audio_.TakeFinishedMusic(), std::vector<int>{0});

  // The failed open left player 1 silent.
  audio_.PlayMusic(1);
  EXPECT_FALSE(audio_.MusicPlaying(1));

  ASSERT_TRUE(audio_.OpenMusic(1, dir_.path() / "b.mp3"));
  audio_.PlayMusic(1);
  clock_.Advance(HeadlessAudio::kDefaultTrackMs - 1);
  EXPECT_TRUE(audio_.TakeFinishedMusic().empty());
  clock_.Advance(1);
  EXPECT_EQ(audio_.TakeFinishedMusic(), std::vector<int>{1});
}

TEST_F(HeadlessMusic, StopKeepsThePositionAndPlayResumesThere) {
  ASSERT_NO_FATAL_FAILURE(PlayTrack(1, 1000));
  clock_.Advance(300);
  audio_.StopMusic(1);
  clock_.Advance(5000);
  EXPECT_EQ(audio_.MusicPosition(1), 300u);
  EXPECT_TRUE(audio_.TakeFinishedMusic().empty());
  audio_.PlayMusic(1);
  audio_.PlayMusic(1);  // a second play while playing changes nothing
  clock_.Advance(699);
  EXPECT_EQ(audio_.MusicPosition(1), 999u);
  EXPECT_TRUE(audio_.TakeFinishedMusic().empty());
  clock_.Advance(1);
  EXPECT_EQ(audio_.TakeFinishedMusic(), std::vector<int>{1});
  EXPECT_EQ(audio_.records().back().text, "music_done 1");
  EXPECT_EQ(audio_.records().back().time, clock_.Now());
}

TEST_F(HeadlessMusic, EndIsReportedOnceAndThePlayerStaysAtTheEnd) {
  ASSERT_NO_FATAL_FAILURE(PlayTrack(0, 500));
  clock_.Advance(2000);
  EXPECT_EQ(audio_.TakeFinishedMusic(), std::vector<int>{0});
  EXPECT_TRUE(audio_.TakeFinishedMusic().empty());
  EXPECT_FALSE(audio_.MusicPlaying(0));
  EXPECT_EQ(audio_.MusicPosition(0), 500u);
  // Play at the end has nothing left to play; a seek first starts it again.
  audio_.PlayMusic(0);
  EXPECT_FALSE(audio_.MusicPlaying(0));
  audio_.SeekMusic(0);
  audio_.PlayMusic(0);
  EXPECT_TRUE(audio_.MusicPlaying(0));
  EXPECT_EQ(audio_.MusicPosition(0), 0u);
}

TEST_F(HeadlessMusic, SeekDropsAnEndNotYetTakenAndHaltsAreNotReported) {
  ASSERT_NO_FATAL_FAILURE(PlayTrack(0, 500));
  clock_.Advance(100);
  audio_.StopMusic(0);
  audio_.SeekMusic(0);
  EXPECT_TRUE(audio_.TakeFinishedMusic().empty());
  audio_.PlayMusic(0);
  clock_.Advance(600);  // ended, but not yet taken
  audio_.SeekMusic(0);
  EXPECT_TRUE(audio_.TakeFinishedMusic().empty());
  EXPECT_EQ(audio_.MusicPosition(0), 0u);
}

TEST_F(HeadlessMusic, PlayersKeepTimeIndependently) {
  audio_.SetTrackLength(0, 1000);
  audio_.SetTrackLength(1, 400);
  ASSERT_TRUE(audio_.OpenMusic(0, dir_.path() / "b.mp3"));
  ASSERT_TRUE(audio_.OpenMusic(1, dir_.path() / "b.mp3"));
  audio_.PlayMusic(0);
  clock_.Advance(200);
  audio_.PlayMusic(1);
  clock_.Advance(400);
  EXPECT_EQ(audio_.TakeFinishedMusic(), std::vector<int>{1});
  EXPECT_EQ(audio_.MusicPosition(0), 600u);
  clock_.Advance(400);
  EXPECT_EQ(audio_.TakeFinishedMusic(), std::vector<int>{0});
}

class HeadlessEffects : public HeadlessMusic {};

TEST_F(HeadlessEffects, WaitAdvancesTheClockByTheEffectsLength) {
  WriteBytes(dir_.path() / "w.dat", ToneWav(230, 11025, 2));
  clock_.Set(1000);
  EXPECT_TRUE(audio_.PlayEffect(dir_.path() / "w.dat", true));
  EXPECT_EQ(clock_.Now(), 1230u);
  EXPECT_FALSE(audio_.EffectPlaying());
  EXPECT_TRUE(audio_.PlayEffect(dir_.path() / "w.dat", false));
  EXPECT_EQ(clock_.Now(), 1230u);
  EXPECT_TRUE(audio_.EffectPlaying());
  clock_.Advance(230);
  EXPECT_FALSE(audio_.EffectPlaying());
  const auto& r = audio_.records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].time, 1000u);
  EXPECT_EQ(r[0].text, "effect w.dat wait");
  EXPECT_EQ(r[1].time, 1230u);
  EXPECT_EQ(r[1].text, "effect w.dat nowait");
}

TEST_F(HeadlessEffects, UnplayableFilesFailAndOtherFormatsGetTheDefaultLength) {
  const std::vector<uint8_t> whole = ToneWav(100);
  WriteBytes(dir_.path() / "broken.dat", std::vector<uint8_t>(whole.begin(), whole.begin() + 20));
  WriteBytes(dir_.path() / "empty.dat", {});
  EXPECT_FALSE(audio_.PlayEffect(dir_.path() / "missing.dat", true));
  EXPECT_FALSE(audio_.PlayEffect(dir_.path() / "broken.dat", true));
  EXPECT_FALSE(audio_.PlayEffect(dir_.path() / "empty.dat", true));
  EXPECT_FALSE(audio_.PlayEffect(dir_.path(), true));  // a folder
  EXPECT_EQ(clock_.Now(), 0u);
  EXPECT_EQ(audio_.records().front().text, "effect_failed missing.dat");
  EXPECT_TRUE(audio_.PlayEffect(dir_.path() / "b.mp3", true));
  EXPECT_EQ(clock_.Now(), HeadlessAudio::kDefaultEffectMs);
}

TEST_F(HeadlessEffects, NewEffectAndToneReplaceTheOldAndStopCutsThem) {
  WriteBytes(dir_.path() / "long.dat", ToneWav(900));
  WriteBytes(dir_.path() / "short.dat", ToneWav(50));
  ASSERT_TRUE(audio_.PlayEffect(dir_.path() / "long.dat", false));
  ASSERT_TRUE(audio_.PlayEffect(dir_.path() / "short.dat", false));
  clock_.Advance(60);
  EXPECT_FALSE(audio_.EffectPlaying());  // the long one was cut by the short one
  audio_.PlayFallbackTone(false);
  EXPECT_TRUE(audio_.EffectPlaying());
  audio_.StopEffect();
  EXPECT_FALSE(audio_.EffectPlaying());
  audio_.StopEffect();  // nothing playing: harmless
  audio_.PlayFallbackTone(true);
  EXPECT_EQ(clock_.Now(), 60u + HeadlessAudio::kFallbackToneMs);
  EXPECT_EQ(audio_.records().back().text, "tone wait");
}

}  // namespace
}  // namespace rv
