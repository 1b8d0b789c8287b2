#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include "game/sound/sound.h"
#include "test_mp3.h"
#include "test_wav.h"

namespace rv {
namespace {

using testing::TempFolder;
using testing::ToneMp3;
using testing::ToneWav;
using testing::WriteBytes;
using Clock = std::chrono::steady_clock;

int64_t MsSince(Clock::time_point t0) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

// Services SDL events for `ms` milliseconds and returns the players whose end was reported.
std::vector<int> PumpMusicDone(int ms) {
  std::vector<int> done;
  const auto t0 = Clock::now();
  while (MsSince(t0) < ms) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type == SdlAudio::MusicDoneEventType()) done.push_back(event.user.code);
    }
    SDL_Delay(2);
  }
  return done;
}

// Services SDL events until the first end report, or gives up after `timeout_ms`.
std::optional<int> WaitMusicDone(int timeout_ms) {
  const auto t0 = Clock::now();
  while (MsSince(t0) < timeout_ms) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type == SdlAudio::MusicDoneEventType()) return event.user.code;
    }
    SDL_Delay(2);
  }
  return std::nullopt;
}

TEST(FallbackTone, IsAShortSoftBeep) {
  const std::vector<uint8_t> wav = SdlAudio::FallbackToneWav();
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
  EXPECT_EQ(std::memcmp(wav.data() + 8, "WAVE", 4), 0);
  EXPECT_EQ(std::memcmp(wav.data() + 36, "data", 4), 0);
  const uint32_t rate = wav[24] | wav[25] << 8 | wav[26] << 16 | uint32_t(wav[27]) << 24;
  const uint32_t data = wav[40] | wav[41] << 8 | wav[42] << 16 | uint32_t(wav[43]) << 24;
  ASSERT_EQ(wav.size(), 44u + data);
  const size_t frames = data / 2;
  const double ms = 1000.0 * double(frames) / rate;
  EXPECT_NEAR(ms, SdlAudio::kFallbackToneMs, 2.0);

  std::vector<int> s(frames);
  for (size_t i = 0; i < frames; ++i) s[i] = int16_t(wav[44 + 2 * i] | wav[45 + 2 * i] << 8);
  int peak = 0;
  for (int v : s) peak = std::max(peak, std::abs(v));
  EXPECT_GT(peak, 4000);   // audible
  EXPECT_LT(peak, 20000);  // but not harsh, and far from clipping
  // Soft at both ends: the first and last millisecond stay far below the peak.
  const size_t one_ms = rate / 1000;
  for (size_t i = 0; i < one_ms; ++i) {
    EXPECT_LT(std::abs(s[i]), peak / 10) << "attack sample " << i;
    EXPECT_LT(std::abs(s[frames - 1 - i]), peak / 10) << "release sample " << i;
  }
}

class SdlAudioDummy : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  SdlAudioDummy() : dir_("sdl_audio") {}
  void SetUp() override {
    audio_ = std::make_unique<SdlAudio>();
    ASSERT_FALSE(audio_->silent()) << SDL_GetError();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  void TearDown() override { audio_.reset(); }
  std::filesystem::path Wav(const std::string& name, int ms) {
    const auto file = dir_.path() / name;
    WriteBytes(file, ToneWav(ms));
    return file;
  }
  std::filesystem::path Mp3(const std::string& name, int ms) {
    const auto file = dir_.path() / name;
    WriteBytes(file, ToneMp3(ms));
    return file;
  }

  TempFolder dir_;
  std::unique_ptr<SdlAudio> audio_;
};

TEST_F(SdlAudioDummy, WaitedEffectReturnsAfterAboutItsLength) {
  const auto file = Wav("e.wav", 250);
  const auto t0 = Clock::now();
  EXPECT_TRUE(audio_->PlayEffect(file, true));
  const int64_t took = MsSince(t0);
  EXPECT_GE(took, 200);
  EXPECT_LT(took, 1200);
  EXPECT_FALSE(audio_->EffectPlaying());
}

TEST_F(SdlAudioDummy, UnwaitedEffectReturnsAtOnceAndStopCutsIt) {
  const auto file = Wav("e.wav", 1500);
  const auto t0 = Clock::now();
  EXPECT_TRUE(audio_->PlayEffect(file, false));
  EXPECT_LT(MsSince(t0), 400);  // loading and starting only
  EXPECT_TRUE(audio_->EffectPlaying());
  audio_->StopEffect();
  EXPECT_FALSE(audio_->EffectPlaying());
  audio_->StopEffect();  // nothing playing: harmless
}

TEST_F(SdlAudioDummy, NewEffectCutsTheOld) {
  const auto long_one = Wav("long.wav", 3000);
  const auto short_one = Wav("short.wav", 100);
  ASSERT_TRUE(audio_->PlayEffect(long_one, false));
  const auto t0 = Clock::now();
  ASSERT_TRUE(audio_->PlayEffect(short_one, true));
  EXPECT_LT(MsSince(t0), 1000);  // only the short one was waited for
  EXPECT_FALSE(audio_->EffectPlaying());
}

TEST_F(SdlAudioDummy, UnplayableEffectsFailAndGoodOnesAreCachedOnce) {
  WriteBytes(dir_.path() / "junk.dat", std::vector<uint8_t>(64, 0x5A));
  const std::vector<uint8_t> whole = ToneWav(200);
  WriteBytes(dir_.path() / "cut.dat", std::vector<uint8_t>(whole.begin(), whole.begin() + 30));
  EXPECT_FALSE(audio_->PlayEffect(dir_.path() / "missing.dat", true));
  EXPECT_FALSE(audio_->PlayEffect(dir_.path() / "junk.dat", true));
  EXPECT_FALSE(audio_->PlayEffect(dir_.path() / "cut.dat", true));
  EXPECT_EQ(audio_->CachedEffectCount(), 0u);
  const auto good = Wav("good.dat", 30);
  EXPECT_TRUE(audio_->PlayEffect(good, false));
  EXPECT_TRUE(audio_->PlayEffect(good, true));
  EXPECT_EQ(audio_->CachedEffectCount(), 1u);
}

// 8-bit samples at 100 Hz: `seconds` of sound in a file of 100 bytes a second.
std::vector<uint8_t> SlowWav(int seconds) {
  const uint32_t data = uint32_t(seconds) * 100;
  std::vector<uint8_t> wav;
  testing::AppendTag(wav, "RIFF");
  testing::AppendLe(wav, 36 + data, 4);
  testing::AppendTag(wav, "WAVE");
  testing::AppendTag(wav, "fmt ");
  testing::AppendLe(wav, 16, 4);
  testing::AppendLe(wav, 1, 2);
  testing::AppendLe(wav, 1, 2);
  testing::AppendLe(wav, 100, 4);
  testing::AppendLe(wav, 100, 4);
  testing::AppendLe(wav, 1, 2);
  testing::AppendLe(wav, 8, 2);
  testing::AppendTag(wav, "data");
  testing::AppendLe(wav, data, 4);
  for (uint32_t i = 0; i < data; ++i) wav.push_back(uint8_t(i % 2 != 0 ? 0xA0 : 0x60));
  return wav;
}

// No effect of ours lasts ten seconds: a longer one, a small file or not, is refused when it
// is loaded and plays as silence, at once, however it is played.
TEST_F(SdlAudioDummy, AnEffectFarLongerThanOursIsRefusedAndPlaysAsSilence) {
  WriteBytes(dir_.path() / "slow.dat", SlowWav(60));  // 6 KB, one minute
  WriteBytes(dir_.path() / "long.dat", ToneMp3(12000));
  for (const char* name : {"slow.dat", "long.dat"}) {
    SCOPED_TRACE(name);
    const auto file = dir_.path() / name;
    for (bool wait : {true, false, true}) {
      const auto t0 = Clock::now();
      EXPECT_TRUE(audio_->PlayEffect(file, wait));  // silence, not the fallback tone
      EXPECT_LT(MsSince(t0), 3000);                 // not the effect's length
      EXPECT_FALSE(audio_->EffectPlaying());
    }
  }
  EXPECT_EQ(audio_->CachedEffectCount(), 0u);
  // Silence cuts a playing effect, as any new effect does.
  ASSERT_TRUE(audio_->PlayEffect(Wav("e.wav", 1500), false));
  EXPECT_TRUE(audio_->PlayEffect(dir_.path() / "slow.dat", false));
  EXPECT_FALSE(audio_->EffectPlaying());
}

// A FIFO in an effect's place is refused at once: the open of a FIFO waits for a writer.
TEST_F(SdlAudioDummy, AFifoEffectIsRefusedWithoutWaiting) {
  ASSERT_EQ(mkfifo((dir_.path() / "fifo.dat").c_str(), 0600), 0);
  ::alarm(20);  // the old open waited here for ever
  EXPECT_FALSE(audio_->PlayEffect(dir_.path() / "fifo.dat", true));
  EXPECT_FALSE(audio_->PlayEffect(dir_.path() / "fifo.dat", false));
  ::alarm(0);
}

// A waited effect asks every few milliseconds whether the program is to end, and stops when
// it is.
TEST_F(SdlAudioDummy, ARequestToEndCutsAWaitedEffect) {
  audio_.reset();
  // The request comes 300 ms after the first question, however long the effect took to
  // load (much longer in the sanitizer builds).
  std::optional<Clock::time_point> first_asked;
  int asked = 0;
  audio_ = std::make_unique<SdlAudio>([&] {
    ++asked;
    if (!first_asked) first_asked = Clock::now();
    return Clock::now() >= *first_asked + std::chrono::milliseconds(300);
  });
  const auto t0 = Clock::now();
  EXPECT_TRUE(audio_->PlayEffect(Wav("e.wav", 6000), true));
  const int64_t took = MsSince(t0);
  EXPECT_GE(took, 250);
  EXPECT_LT(took, 3000);  // not the effect's 6 s
  EXPECT_FALSE(audio_->EffectPlaying());
  EXPECT_GT(asked, 5);
  // An unwaited effect never asks.
  asked = 0;
  EXPECT_TRUE(audio_->PlayEffect(Wav("f.wav", 500), false));
  EXPECT_EQ(asked, 0);
}

TEST_F(SdlAudioDummy, FallbackToneWaitsForItsLength) {
  const auto t0 = Clock::now();
  audio_->PlayFallbackTone(true);
  const int64_t took = MsSince(t0);
  EXPECT_GE(took, SdlAudio::kFallbackToneMs - 40);
  EXPECT_LT(took, 1000);
  audio_->PlayFallbackTone(false);
  EXPECT_TRUE(audio_->EffectPlaying());
}

// A device that stops consuming sound (here: the effect channel paused behind our back)
// must not hang a waited effect: the wait gives up a second after the effect's length.
TEST_F(SdlAudioDummy, WaitOnAStalledEffectGivesUp) {
  const auto file = Wav("e.wav", 600);
  std::thread staller([] {
    SDL_Delay(50);
    Mix_Pause(SdlAudio::kEffectChannel);
  });
  const auto t0 = Clock::now();
  EXPECT_TRUE(audio_->PlayEffect(file, true));
  const int64_t took = MsSince(t0);
  staller.join();
  EXPECT_GE(took, 600 + 900);
  EXPECT_LT(took, 600 + 3000);
  EXPECT_FALSE(audio_->EffectPlaying());  // cut, not left paused
  Mix_Resume(SdlAudio::kEffectChannel);
}

// A track shorter than the report's lead is reported as soon as it starts; it still plays to
// its end and then stands there.
TEST_F(SdlAudioDummy, NaturalEndArrivesAsAnEventOnce) {
  ASSERT_NE(SdlAudio::MusicDoneEventType(), uint32_t(-1));
  ASSERT_TRUE(audio_->OpenMusic(1, Mp3("m.mp3", 150)));
  audio_->PlayMusic(1);
  EXPECT_TRUE(audio_->MusicPlaying(1));
  const auto done = WaitMusicDone(3000);
  ASSERT_TRUE(done.has_value());
  EXPECT_EQ(*done, 1);
  EXPECT_TRUE(PumpMusicDone(600).empty());
  EXPECT_FALSE(audio_->MusicPlaying(1));
  // At its end a player has nothing left to play until it is rewound.
  audio_->PlayMusic(1);
  EXPECT_FALSE(audio_->MusicPlaying(1));
  audio_->SeekMusic(1);
  audio_->PlayMusic(1);
  EXPECT_TRUE(audio_->MusicPlaying(1));
}

// A long track reports its end a lead before it, not at its start.
TEST_F(SdlAudioDummy, ALongTrackReportsItsEndShortlyBeforeIt) {
  ASSERT_TRUE(audio_->OpenMusic(0, Mp3("m.mp3", 1500)));
  const auto t0 = Clock::now();
  audio_->PlayMusic(0);
  ASSERT_EQ(WaitMusicDone(4000), 0);
  const int64_t at = MsSince(t0);
  // Due 1000 ms in; the mixer fills up to two device buffers (about 93 ms) ahead of the ear.
  EXPECT_GE(at, 1000 - 150);
  EXPECT_LT(at, 1500);
  EXPECT_TRUE(audio_->MusicPlaying(0));
}

TEST_F(SdlAudioDummy, StopPausesAndPlayResumesWithoutReports) {
  ASSERT_TRUE(audio_->OpenMusic(0, Mp3("m.mp3", 1200)));
  audio_->PlayMusic(0);
  SDL_Delay(300);
  audio_->StopMusic(0);
  EXPECT_FALSE(audio_->MusicPlaying(0));
  EXPECT_TRUE(PumpMusicDone(1000).empty());  // longer than the rest of the track
  const auto t0 = Clock::now();
  audio_->PlayMusic(0);
  EXPECT_TRUE(audio_->MusicPlaying(0));
  const auto done = WaitMusicDone(3000);
  ASSERT_TRUE(done.has_value());
  EXPECT_EQ(*done, 0);
  // Resumed where it stood: its report (due 700 ms into the track) came early.
  EXPECT_LT(MsSince(t0), 700 - 100);
}

TEST_F(SdlAudioDummy, SeekHaltsWithoutReportAndDropsAPendingOne) {
  ASSERT_TRUE(audio_->OpenMusic(0, Mp3("a.mp3", 100)));
  ASSERT_TRUE(audio_->OpenMusic(1, Mp3("b.mp3", 100)));
  audio_->PlayMusic(0);
  audio_->StopMusic(0);
  audio_->SeekMusic(0);  // rewinds a paused player
  EXPECT_TRUE(PumpMusicDone(100).empty());
  // Both end while no events are serviced; rewinding player 0 drops only its report.
  audio_->PlayMusic(0);
  audio_->PlayMusic(1);
  SDL_Delay(400);
  audio_->SeekMusic(0);
  EXPECT_EQ(PumpMusicDone(100), std::vector<int>{1});
  // A rewound player starts from the beginning.
  audio_->PlayMusic(0);
  EXPECT_TRUE(audio_->MusicPlaying(0));
  ASSERT_TRUE(WaitMusicDone(3000).has_value());
}

TEST_F(SdlAudioDummy, UnopenableTrackLeavesThePlayerSilent) {
  WriteBytes(dir_.path() / "bad.mp3", std::vector<uint8_t>(100, 0x11));
  EXPECT_FALSE(audio_->OpenMusic(0, dir_.path() / "bad.mp3"));
  EXPECT_FALSE(audio_->OpenMusic(1, dir_.path() / "missing.mp3"));
  ASSERT_EQ(mkfifo((dir_.path() / "fifo.mp3").c_str(), 0600), 0);
  EXPECT_FALSE(audio_->OpenMusic(1, dir_.path() / "fifo.mp3"));  // refused, never waited on
  EXPECT_FALSE(audio_->OpenMusic(5, Mp3("m.mp3", 100)));
  for (int p : {0, 1, 5, -1}) {
    audio_->PlayMusic(p);
    EXPECT_FALSE(audio_->MusicPlaying(p));
    audio_->StopMusic(p);
    audio_->SeekMusic(p);
  }
  EXPECT_TRUE(PumpMusicDone(100).empty());
}

TEST_F(SdlAudioDummy, ReopeningAPlayerReplacesItsTrack) {
  ASSERT_TRUE(audio_->OpenMusic(0, Mp3("long.mp3", 3000)));
  audio_->PlayMusic(0);
  ASSERT_TRUE(audio_->OpenMusic(0, Mp3("short.mp3", 100)));
  EXPECT_FALSE(audio_->MusicPlaying(0));  // the old track was halted, silently
  audio_->PlayMusic(0);
  const auto t0 = Clock::now();
  ASSERT_EQ(WaitMusicDone(3000), 0);
  EXPECT_LT(MsSince(t0), 1000);
}

// Play only marks the player as playing; the decoding happens on the audio thread.
TEST_F(SdlAudioDummy, PlayReturnsAtOnceForALongTrack) {
  ASSERT_TRUE(audio_->OpenMusic(0, Mp3("long.mp3", 20000)));
  const auto t0 = Clock::now();
  audio_->PlayMusic(0);
  // Far less than decoding 20 s of sound (some 20 ms here), with room for a busy machine.
  EXPECT_LT(MsSince(t0), 15);
  EXPECT_TRUE(audio_->MusicPlaying(0));
}

// Both players may sound at once, and each reports its own end; a player rewound while
// another plays starts from its beginning.
TEST_F(SdlAudioDummy, BothPlayersSoundAtOnceAndEachReports) {
  ASSERT_TRUE(audio_->OpenMusic(0, Mp3("a.mp3", 300)));
  ASSERT_TRUE(audio_->OpenMusic(1, Mp3("b.mp3", 300)));
  audio_->PlayMusic(0);
  audio_->StopMusic(0);
  audio_->SeekMusic(0);
  audio_->PlayMusic(1);
  audio_->PlayMusic(0);
  EXPECT_TRUE(audio_->MusicPlaying(0));
  EXPECT_TRUE(audio_->MusicPlaying(1));
  const auto t0 = Clock::now();
  std::vector<int> done;
  while (done.size() < 2 && MsSince(t0) < 3000) {
    for (int p : PumpMusicDone(10)) done.push_back(p);
  }
  std::sort(done.begin(), done.end());
  EXPECT_EQ(done, (std::vector<int>{0, 1}));
  SDL_Delay(500);
  EXPECT_FALSE(audio_->MusicPlaying(0));
  EXPECT_FALSE(audio_->MusicPlaying(1));
}

// A paused player has a position to resume from, and an ended one may still have its end
// report waiting for the game: starting another player takes neither away.
TEST_F(SdlAudioDummy, PausedAndEndedTracksAreKept) {
  ASSERT_TRUE(audio_->OpenMusic(0, Mp3("a.mp3", 1500)));
  ASSERT_TRUE(audio_->OpenMusic(1, Mp3("b.mp3", 100)));
  audio_->PlayMusic(0);
  SDL_Delay(50);
  audio_->StopMusic(0);
  audio_->PlayMusic(1);
  SDL_Delay(300);        // player 1 ends while no events are serviced
  audio_->PlayMusic(0);  // resumes, and must not take player 1's report
  EXPECT_TRUE(audio_->MusicPlaying(0));
  EXPECT_EQ(WaitMusicDone(1000), 1);
  EXPECT_EQ(WaitMusicDone(3000), 0);
}

// The player holds its file open from its opening: a track whose file goes away afterwards
// still plays, and one that comes back is taken up only by a new opening.
TEST_F(SdlAudioDummy, TrackGoneAfterItsOpeningStillPlays) {
  const auto file = Mp3("gone.mp3", 200);
  ASSERT_TRUE(audio_->OpenMusic(0, file));
  std::filesystem::remove(file);
  audio_->PlayMusic(0);
  EXPECT_TRUE(audio_->MusicPlaying(0));
  EXPECT_EQ(WaitMusicDone(3000), 0);
  EXPECT_FALSE(audio_->OpenMusic(0, file));
  audio_->SeekMusic(0);
  audio_->PlayMusic(0);
  EXPECT_FALSE(audio_->MusicPlaying(0));
}

// The game's looping rules on the real mixer: the track restarts on every end until stopped.
TEST_F(SdlAudioDummy, SoundLoopsUntilStopped) {
  WriteBytes(dir_.path() / "Music" / "ravolin.mp3", ToneMp3(400));
  WriteBytes(dir_.path() / "Music" / "decision.mp3", ToneMp3(120));
  Sound sound(*audio_, dir_.path());
  sound.LoadMp3File();
  sound.PlayMusic(1);
  int ends = 0;
  const auto t0 = Clock::now();
  while (MsSince(t0) < 700) {
    for (int p : PumpMusicDone(5)) {
      sound.MusicControl_Done(int16_t(p));
      ++ends;
    }
  }
  EXPECT_GE(ends, 3);
  EXPECT_TRUE(audio_->MusicPlaying(1));
  EXPECT_FALSE(audio_->MusicPlaying(0));
  sound.StopMusic();
  for (int p : PumpMusicDone(400)) sound.MusicControl_Done(int16_t(p));
  EXPECT_FALSE(audio_->MusicPlaying(1));
  EXPECT_EQ(sound.MusicState[1], 0);
}

// End to end through the real mixer and the event queue: the disk driver writes what the
// device would play. Looped by the game's own rules, the music runs on across every seam:
// nowhere is it silent for even 2 ms (a restart after the end would leave 20 to 70 ms).
TEST(SdlAudioDisk, LoopedMusicIsHeardWithoutAGap) {
  TempFolder dir("sdl_disk");
  const auto raw = dir.path() / "device.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  constexpr int kTrackMs = 300;
  WriteBytes(dir.path() / "Music" / "ravolin.mp3", ToneMp3(500));
  WriteBytes(dir.path() / "Music" / "decision.mp3", ToneMp3(kTrackMs));
  {
    SdlAudio audio;
    ASSERT_FALSE(audio.silent()) << SDL_GetError();
    Sound sound(audio, dir.path());
    sound.LoadMp3File();
    sound.PlayMusic(1);
    const auto t0 = Clock::now();
    while (MsSince(t0) < 4 * kTrackMs + 300) {
      for (int p : PumpMusicDone(5)) sound.MusicControl_Done(int16_t(p));
    }
    sound.StopMusic();
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::ifstream in(raw, std::ios::binary);
  std::vector<int16_t> pcm;
  int16_t sample = 0;
  while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) pcm.push_back(sample);
  const size_t frames = pcm.size() / 2;
  auto quiet = [&](size_t f) { return std::abs(pcm[2 * f]) < 64 && std::abs(pcm[2 * f + 1]) < 64; };
  size_t start = 0;
  while (start < frames && quiet(start)) ++start;
  const size_t three_passes = size_t(3) * 44100 * kTrackMs / 1000;
  ASSERT_GE(frames, start + three_passes) << "the device wrote too little";
  size_t run = 0, longest = 0;
  for (size_t f = start; f < start + three_passes; ++f) {
    run = quiet(f) ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  EXPECT_LT(longest, 88u) << "frames of silence inside the loop";
}

// The loudest sample the disk driver wrote while music and an effect played at a volume;
// nullopt when no device was opened (the driver then writes no file).
std::optional<int> LoudestAtVolume(int percent) {
  TempFolder dir("sdl_volume");
  const auto raw = dir.path() / "device.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  WriteBytes(dir.path() / "Music" / "ravolin.mp3", ToneMp3(400));
  WriteBytes(dir.path() / "Music" / "decision.mp3", ToneMp3(400));
  WriteBytes(dir.path() / "Wave" / "wave1.dat", ToneWav(300));
  {
    const std::unique_ptr<Audio> audio = OpenSdlAudio({}, percent);
    Sound sound(*audio, dir.path());
    sound.LoadMp3File();
    sound.PlayMusic(1);
    sound.PlayWave("wave1", -1);
    sound.StopMusic();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO) != 0, percent > 0) << percent;
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::ifstream in(raw, std::ios::binary);
  if (!in) return std::nullopt;
  int loudest = 0;
  int16_t sample = 0;
  while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) {
    loudest = std::max(loudest, std::abs(int(sample)));
  }
  return loudest;
}

// Music and effects are scaled together, in the mixed output itself; at 0 there is no
// sound device at all.
TEST(SdlAudioDisk, VolumeScalesTheMixedOutputAndZeroOpensNoDevice) {
  const std::optional<int> full = LoudestAtVolume(100), half = LoudestAtVolume(50);
  ASSERT_TRUE(full && half);
  ASSERT_GT(*full, 1000) << "nothing was heard at full volume";
  const double db = 20 * std::log10(double(*half) / *full);
  std::printf("volume 50: %.2f dB against 100\n", db);
  EXPECT_NEAR(db, -6.02, 0.2);
  EXPECT_EQ(LoudestAtVolume(0), std::nullopt);
}

TEST(SdlAudioNoDevice, EverythingIsSilentAndHarmless) {
  setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
  TempFolder dir("sdl_silent");
  WriteBytes(dir.path() / "e.wav", ToneWav(500));
  {
    SdlAudio audio;
    EXPECT_TRUE(audio.silent());
    EXPECT_FALSE(audio.OpenMusic(0, dir.path() / "e.wav"));
    audio.PlayMusic(0);
    EXPECT_FALSE(audio.MusicPlaying(0));
    audio.StopMusic(0);
    audio.SeekMusic(0);
    const auto t0 = Clock::now();
    EXPECT_FALSE(audio.PlayEffect(dir.path() / "e.wav", true));
    audio.PlayFallbackTone(true);
    EXPECT_LT(MsSince(t0), 100);
    EXPECT_FALSE(audio.EffectPlaying());
    audio.StopEffect();
    Sound sound(audio, dir.path());
    sound.LoadMp3File();
    sound.PlayMusic(1);
    sound.PlayWave("e", -1);
    sound.StopWave();
    sound.StopMusic();
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace rv
