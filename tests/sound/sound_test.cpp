#include "game/sound/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/headless/headless_audio.h"
#include "test_wav.h"

namespace rv {
namespace {

// Records every call in order; PlayEffect succeeds or fails as told.
class FakeAudio : public Audio {
 public:
  bool OpenMusic(int player, const std::filesystem::path& file) override {
    calls.push_back("open " + std::to_string(player) + " " + file.string());
    return true;
  }
  void PlayMusic(int player) override { calls.push_back("play " + std::to_string(player)); }
  void StopMusic(int player) override { calls.push_back("stop " + std::to_string(player)); }
  void SeekMusic(int player) override { calls.push_back("seek " + std::to_string(player)); }
  bool PlayEffect(const std::filesystem::path& file, bool wait) override {
    calls.push_back("effect " + file.string() + (wait ? " wait" : " nowait"));
    return effect_ok;
  }
  void PlayFallbackTone(bool wait) override { calls.push_back(wait ? "tone wait" : "tone nowait"); }
  void StopEffect() override { calls.push_back("effect_stop"); }

  std::vector<std::string> calls;
  bool effect_ok = true;
};

using Calls = std::vector<std::string>;
using States = std::vector<int16_t>;

// Both players' states, player 0 first.
States StatesOf(const Sound& sound) { return {sound.MusicState[0], sound.MusicState[1]}; }

TEST(SoundStateRules, LoadOpensBothTracksFromTheMusicFolderStopped) {
  FakeAudio audio;
  Sound sound(audio, "/game");
  sound.MusicState[0] = -1;
  sound.MusicState[1] = -1;
  sound.LoadMp3File();
  EXPECT_EQ(audio.calls,
            (Calls{"open 0 /game/Music/ravolin.mp3", "open 1 /game/Music/decision.mp3"}));
  EXPECT_EQ(StatesOf(sound), (States{0, 0}));
}

TEST(SoundStateRules, PlayTwiceStartsOnce) {
  FakeAudio audio;
  Sound sound(audio, "/game");
  sound.PlayMusic(1);
  sound.PlayMusic(1);
  EXPECT_EQ(audio.calls, (Calls{"play 1"}));
  EXPECT_EQ(StatesOf(sound), (States{0, -1}));
  EXPECT_EQ(sound.CurrentMusic, 1);
}

TEST(SoundStateRules, StopWithNothingPlayingDoesNothing) {
  FakeAudio audio;
  Sound sound(audio, "/game");
  sound.StopMusic();
  EXPECT_TRUE(audio.calls.empty());
  // Once stopped, a second stop is just as quiet.
  sound.PlayMusic(0);
  sound.StopMusic();
  audio.calls.clear();
  sound.StopMusic();
  EXPECT_TRUE(audio.calls.empty());
}

TEST(SoundStateRules, CompletionAfterStopDoesNotRestart) {
  FakeAudio audio;
  Sound sound(audio, "/game");
  sound.PlayMusic(1);
  sound.StopMusic();
  audio.calls.clear();
  sound.MusicControl_Done(1);
  EXPECT_TRUE(audio.calls.empty());
  EXPECT_EQ(sound.MusicState[1], 0);
}

TEST(SoundStateRules, CompletionWhilePlayingRewindsAndRestarts) {
  FakeAudio audio;
  Sound sound(audio, "/game");
  sound.PlayMusic(0);
  audio.calls.clear();
  sound.MusicControl_Done(0);
  EXPECT_EQ(audio.calls, (Calls{"seek 0", "play 0"}));
  EXPECT_EQ(sound.MusicState[0], -1);
  // A completion of the other, never started player changes nothing.
  audio.calls.clear();
  sound.MusicControl_Done(1);
  EXPECT_TRUE(audio.calls.empty());
}

// A player that raises its completion at once inside Stop and Seek. The state is cleared
// around every command the game issues, so such completions are ignored rather than
// restarting the track (a second time, or after a stop).
class ReentrantAudio : public FakeAudio {
 public:
  Sound* sound = nullptr;
  std::vector<int16_t> state_seen;
  void StopMusic(int player) override {
    FakeAudio::StopMusic(player);
    Raise(player);
  }
  void SeekMusic(int player) override {
    FakeAudio::SeekMusic(player);
    Raise(player);
  }

 private:
  void Raise(int player) {
    state_seen.push_back(sound->MusicState[player]);
    if (depth_ >= 3) return;  // a faulty handler would recurse without end
    ++depth_;
    sound->MusicControl_Done(int16_t(player));
    --depth_;
  }
  int depth_ = 0;
};

// The sound over such a player, with `player` started and the calls of the start forgotten.
struct ReentrantSound {
  ReentrantAudio audio;
  Sound sound{audio, "/game"};
  explicit ReentrantSound(int16_t player) {
    audio.sound = &sound;
    sound.PlayMusic(player);
    audio.calls.clear();
  }
};

TEST(SoundStateRules, CompletionRaisedByTheHandlersOwnSeekIsIgnored) {
  ReentrantSound r(1);
  r.sound.MusicControl_Done(1);
  EXPECT_EQ(r.audio.calls, (Calls{"seek 1", "play 1"}));
  EXPECT_EQ(r.audio.state_seen, (States{0}));
  EXPECT_EQ(r.sound.MusicState[1], -1);
}

TEST(SoundStateRules, CompletionRaisedByStopOrItsRewindIsIgnored) {
  ReentrantSound r(0);
  r.sound.StopMusic();
  EXPECT_EQ(r.audio.calls, (Calls{"stop 0", "seek 0"}));
  EXPECT_EQ(r.audio.state_seen, (States{0, 0}));
  EXPECT_EQ(r.sound.MusicState[0], 0);
}

TEST(SoundStateRules, OnlyThePlayerStartedLastIsStopped) {
  FakeAudio audio;
  Sound sound(audio, "/game");
  sound.PlayMusic(1);
  sound.PlayMusic(0);
  audio.calls.clear();
  sound.StopMusic();
  EXPECT_EQ(audio.calls, (Calls{"stop 0", "seek 0"}));
  EXPECT_EQ(StatesOf(sound), (States{0, -1}));
  // The current player is now stopped, so the other one cannot be reached by StopMusic.
  audio.calls.clear();
  sound.StopMusic();
  EXPECT_TRUE(audio.calls.empty());
  EXPECT_EQ(sound.MusicState[1], -1);
}

TEST(SoundStateRules, IndexesOutsideTheTwoPlayersAreIgnored) {
  FakeAudio audio;
  Sound sound(audio, "/game");
  sound.PlayMusic(2);
  sound.PlayMusic(-1);
  sound.MusicControl_Done(5);
  sound.MusicControl_Done(-32768);
  sound.CurrentMusic = 7;
  sound.StopMusic();
  EXPECT_TRUE(audio.calls.empty());
  EXPECT_EQ(StatesOf(sound), (States{0, 0}));
}

TEST(SoundEffects, PathAndWaitModeFollowTheMode) {
  FakeAudio audio;
  Sound sound(audio, "/game");
  sound.PlayWave("wave2", -1);
  sound.PlayWave("wave1", 0);
  sound.PlayWave("wave3", 1);
  sound.StopWave();
  EXPECT_EQ(audio.calls,
            (Calls{"effect /game/Wave/wave2.dat wait", "effect /game/Wave/wave1.dat nowait",
                   "effect /game/Wave/wave3.dat nowait", "effect_stop"}));
}

TEST(SoundEffects, UnplayableEffectGivesTheToneInTheSameMode) {
  FakeAudio audio;
  audio.effect_ok = false;
  Sound sound(audio, "/game");
  sound.PlayWave("wave4", -1);
  sound.PlayWave("wave1", 0);
  EXPECT_EQ(audio.calls, (Calls{"effect /game/Wave/wave4.dat wait", "tone wait",
                                "effect /game/Wave/wave1.dat nowait", "tone nowait"}));
}

// The same rules on the headless backend, with tracks that really end on the virtual clock.
class SoundOnHeadless : public ::testing::Test {
 protected:
  SoundOnHeadless() : folder_("sound_headless"), audio_(clock_), sound_(audio_, folder_.path()) {
    testing::WriteBytes(folder_.path() / "Music" / "ravolin.mp3", {0xFF, 0xFB, 0x90, 0x00});
    testing::WriteBytes(folder_.path() / "Music" / "decision.mp3", {0xFF, 0xFB, 0x90, 0x00});
    testing::WriteBytes(folder_.path() / "Wave" / "wave1.dat", testing::ToneWav(120));
    testing::WriteBytes(folder_.path() / "Wave" / "wave2.dat", testing::ToneWav(900, 22050, 2));
    audio_.SetTrackLength(0, 3000);
    audio_.SetTrackLength(1, 2000);
    sound_.LoadMp3File();
  }

  // What a platform pump does each pass: 1 ms, then the completions.
  void Pump() {
    clock_.Advance(1);
    for (int player : audio_.TakeFinishedMusic()) sound_.MusicControl_Done(int16_t(player));
  }
  void PumpFor(uint32_t ms) {
    for (uint32_t i = 0; i < ms; ++i) Pump();
  }
  int Count(const std::string& text) const {
    const auto& r = audio_.records();
    return int(
        std::count_if(r.begin(), r.end(), [&](const auto& rec) { return rec.text == text; }));
  }

  testing::TempFolder folder_;
  VirtualClock clock_;
  HeadlessAudio audio_;
  Sound sound_;
};

TEST_F(SoundOnHeadless, TrackLoopsThroughItsCompletion) {
  sound_.PlayMusic(1);
  PumpFor(2000 * 3 + 10);
  EXPECT_EQ(Count("music_done 1"), 3);
  EXPECT_EQ(Count("music_play 1"), 4);
  EXPECT_TRUE(audio_.MusicPlaying(1));
  EXPECT_LT(audio_.MusicPosition(1), 20u);
  EXPECT_EQ(sound_.MusicState[1], -1);
}

TEST_F(SoundOnHeadless, StoppedTrackStaysStoppedAndRewound) {
  sound_.PlayMusic(0);
  PumpFor(1500);
  sound_.StopMusic();
  PumpFor(10000);
  EXPECT_FALSE(audio_.MusicPlaying(0));
  EXPECT_EQ(audio_.MusicPosition(0), 0u);
  EXPECT_EQ(Count("music_done 0"), 0);
  EXPECT_EQ(Count("music_play 0"), 1);
  // Played again, it starts from the beginning.
  sound_.PlayMusic(0);
  PumpFor(100);
  EXPECT_TRUE(audio_.MusicPlaying(0));
  EXPECT_EQ(audio_.MusicPosition(0), 100u);
}

TEST_F(SoundOnHeadless, StopAfterTheEndButBeforeItsReportDoesNotRestart) {
  sound_.PlayMusic(1);
  clock_.Advance(2500);  // the track ends while no events are serviced
  sound_.StopMusic();
  PumpFor(50);
  EXPECT_EQ(Count("music_done 1"), 0);
  EXPECT_FALSE(audio_.MusicPlaying(1));
}

TEST_F(SoundOnHeadless, WaitedEffectTakesItsLengthNowaitTakesNone) {
  const uint32_t t0 = clock_.Now();
  sound_.PlayWave("wave2", -1);
  EXPECT_EQ(clock_.Now() - t0, 900u);
  sound_.PlayWave("wave1", 0);
  EXPECT_EQ(clock_.Now() - t0, 900u);
  EXPECT_TRUE(audio_.EffectPlaying());
  sound_.StopWave();
  EXPECT_FALSE(audio_.EffectPlaying());
}

TEST_F(SoundOnHeadless, MissingEffectGivesTheTone) {
  const uint32_t t0 = clock_.Now();
  sound_.PlayWave("wave3", -1);
  EXPECT_EQ(clock_.Now() - t0, HeadlessAudio::kFallbackToneMs);
  ASSERT_GE(audio_.records().size(), 2u);
  const auto& r = audio_.records();
  EXPECT_EQ(r[r.size() - 2].text, "effect_failed wave3.dat");
  EXPECT_EQ(r.back().text, "tone wait");
  sound_.PlayWave("wave4", 0);
  EXPECT_EQ(audio_.records().back().text, "tone nowait");
  EXPECT_EQ(clock_.Now() - t0, HeadlessAudio::kFallbackToneMs);
}

}  // namespace
}  // namespace rv
