#include "platform/sdl/music_mixer.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "test_mp3.h"
#include "test_wav.h"

namespace rv {
namespace {

using namespace std::chrono_literals;

using testing::TempFolder;
using testing::ToneMp3;
using testing::WriteBytes;

constexpr int kRate = 44100;
constexpr size_t kPass = 2048;  // frames the device asks for at a time

// The mixer without a device: the test plays the audio thread and calls Mix itself.
class MusicMixerTest : public ::testing::Test {
 protected:
  MusicMixerTest() : dir_("mixer") {}

  std::filesystem::path Track(const std::string& name, int ms) {
    const auto file = dir_.path() / name;
    WriteBytes(file, ToneMp3(ms));
    return file;
  }
  // The track as one straight decode, the reference every mixed output is held against.
  static std::vector<int16_t> Decoded(const std::filesystem::path& file) {
    auto track = StreamedTrack::Open(file, kRate);
    std::vector<int16_t> all;
    std::vector<int16_t> block(2 * 4096);
    size_t got = 0;
    while ((got = track->Read(block.data(), 4096)) > 0) {
      all.insert(all.end(), block.begin(), block.begin() + ptrdiff_t(2 * got));
    }
    return all;
  }
  // Opens a tone of `ms` on player 0 and starts it; returns its straight decode.
  std::vector<int16_t> PlayTone(int ms) {
    const auto file = Track("a.mp3", ms);
    const bool opened = mixer_->Open(0, file);
    EXPECT_TRUE(opened);
    mixer_->Play(0);
    return Decoded(file);
  }
  void Make(uint32_t lead_ms, int channels = 2) {
    mixer_ = std::make_unique<MusicMixer>(
        kRate, channels,
        [this](int player) {
          reports_.push_back({player, mixed_});
        },
        lead_ms);
  }
  // One device pass of `frames`, appended to `out_`.
  void Pass(size_t frames = kPass) {
    std::vector<int16_t> buffer(frames * 2, 0);
    mixer_->Mix(buffer.data(), frames);
    out_.insert(out_.end(), buffer.begin(), buffer.end());
    mixed_ += frames;
  }
  void Passes(size_t frames_total) {
    while (frames_total > 0) {
      const size_t n = std::min(kPass, frames_total);
      Pass(n);
      frames_total -= n;
    }
  }
  std::vector<int16_t> Out(size_t from_frame, size_t frames) const {
    return {out_.begin() + ptrdiff_t(2 * from_frame),
            out_.begin() + ptrdiff_t(2 * (from_frame + frames))};
  }

  struct Report {
    int player;
    size_t at_frame;  // frames mixed before the pass that reported
  };
  TempFolder dir_;
  std::unique_ptr<MusicMixer> mixer_;
  std::vector<Report> reports_;
  std::vector<int16_t> out_;
  size_t mixed_ = 0;
};

TEST_F(MusicMixerTest, APlayerNotPlayingAddsNothing) {
  Make(500);
  ASSERT_TRUE(mixer_->Open(0, Track("a.mp3", 500)));
  Pass();
  mixer_->Play(1);  // a player without a track
  Pass();
  EXPECT_TRUE(std::all_of(out_.begin(), out_.end(), [](int16_t s) { return s == 0; }));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(MusicMixerTest, PlayStartsAtTheFirstFrameOfTheTrack) {
  Make(500);
  const auto file = Track("a.mp3", 600);
  ASSERT_TRUE(mixer_->Open(1, file));
  mixer_->Play(1);
  EXPECT_TRUE(mixer_->Playing(1));
  const auto ref = Decoded(file);
  Passes(ref.size() / 2);
  EXPECT_EQ(out_, ref);
}

// The end is reported once, the lead before it, and the player stops at the end when the
// report is not answered.
TEST_F(MusicMixerTest, EndIsReportedOnceALeadAheadAndThePlayerStopsThere) {
  struct Case {
    uint32_t lead_ms;
    int track_ms;
  };
  for (Case c : {Case{500, 2000}, Case{0, 1000}, Case{300, 150}}) {
    Make(c.lead_ms);
    reports_.clear();
    out_.clear();
    mixed_ = 0;
    const size_t length = PlayTone(c.track_ms).size() / 2;
    Passes(length + 5 * kPass);
    ASSERT_EQ(reports_.size(), 1u) << c.lead_ms;
    EXPECT_EQ(reports_[0].player, 0);
    const size_t due = length - std::min(length, size_t(kRate) * c.lead_ms / 1000);
    // Reported within the pass in which the due frame was decoded.
    EXPECT_LE(reports_[0].at_frame, due) << c.lead_ms;
    EXPECT_GT(reports_[0].at_frame + kPass, due) << c.lead_ms;
    EXPECT_FALSE(mixer_->Playing(0));
    const auto after = Out(length, 5 * kPass);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](int16_t s) { return s == 0; }));
    // At its end a player has nothing left until it is rewound.
    mixer_->Play(0);
    EXPECT_FALSE(mixer_->Playing(0));
    mixer_->Seek(0);
    mixer_->Play(0);
    EXPECT_TRUE(mixer_->Playing(0));
  }
}

// The game answers an end with Seek then Play. Answered in time, the start of the track is
// joined to its last frame: the sound is the track twice over, sample for sample.
TEST_F(MusicMixerTest, AnAnsweredEndJoinsTheStartWithoutAGap) {
  Make(300);
  const auto ref = PlayTone(1000);
  const size_t length = ref.size() / 2;
  size_t answered = 0;
  while (mixed_ < 2 * length) {
    Pass();
    if (reports_.size() > answered) {
      answered = reports_.size();
      mixer_->Seek(0);
      mixer_->Play(0);
      EXPECT_TRUE(mixer_->Playing(0));
    }
  }
  EXPECT_EQ(answered, 2u);  // once per pass through the track
  EXPECT_EQ(Out(0, length), ref);
  EXPECT_EQ(Out(length, length), ref);
}

// An answer that comes after the end finds the player stopped there: it starts over.
TEST_F(MusicMixerTest, ALateAnswerStartsTheTrackOver) {
  Make(0);
  const auto ref = PlayTone(400);
  const size_t length = ref.size() / 2;
  Passes(length + 3 * kPass);
  ASSERT_EQ(reports_.size(), 1u);
  mixer_->Seek(0);
  mixer_->Play(0);
  const size_t restart = mixed_;
  Passes(length);
  EXPECT_EQ(Out(restart, length), ref);
}

// Stop keeps the place and reports nothing; Play goes on from there.
TEST_F(MusicMixerTest, StopAndPlayResumeWhereTheTrackStood) {
  Make(300);
  const auto ref = PlayTone(1500);
  Passes(10000);
  mixer_->Stop(0);
  EXPECT_FALSE(mixer_->Playing(0));
  Passes(5 * kPass);
  EXPECT_TRUE(reports_.empty());
  mixer_->Play(0);
  const size_t resumed = mixed_;
  Passes(ref.size() / 2 - 10000);
  auto heard = Out(0, 10000);
  const auto rest = Out(resumed, ref.size() / 2 - 10000);
  heard.insert(heard.end(), rest.begin(), rest.end());
  EXPECT_EQ(heard, ref);
  EXPECT_EQ(reports_.size(), 1u);
}

// Stop then Seek (the game's StopMusic) rewinds even after the end was reported: the join
// that the report had made possible is called off.
TEST_F(MusicMixerTest, StopThenSeekRewindsAndCallsOffAJoin) {
  Make(800);
  const auto ref = PlayTone(1000);
  Passes(kPass * 6);
  ASSERT_EQ(reports_.size(), 1u);
  mixer_->Seek(0);  // the answer: a join at the end
  mixer_->Stop(0);
  mixer_->Seek(0);
  Passes(kPass);
  mixer_->Play(0);
  const size_t start = mixed_;
  Passes(ref.size() / 2 + 3 * kPass);
  EXPECT_EQ(Out(start, ref.size() / 2), ref);
  EXPECT_FALSE(mixer_->Playing(0));  // no join: it stopped at the end
}

TEST_F(MusicMixerTest, PlayNeverDoublesATrack) {
  Make(500);
  const auto ref = PlayTone(500);
  mixer_->Play(0);
  Pass(4000);
  mixer_->Play(0);
  Passes(ref.size() / 2 - 4000);
  EXPECT_EQ(out_, ref);
}

// Both players may sound at once: the device hears their sum, clipped, never wrapped.
TEST_F(MusicMixerTest, TwoPlayersAreAddedAndClipped) {
  Make(500);
  const auto a = Track("a.mp3", 700);
  const auto b = Track("b.mp3", 700);
  ASSERT_TRUE(mixer_->Open(0, a));
  ASSERT_TRUE(mixer_->Open(1, b));
  mixer_->Play(0);
  mixer_->Play(1);
  const auto ra = Decoded(a);
  const auto rb = Decoded(b);
  // The two tones are alike, so the sum is twice one of them: loud, and where it would
  // pass full scale it is held there.
  std::vector<int16_t> buffer(ra.size());
  for (size_t i = 0; i < ra.size(); ++i)
    buffer[i] = int16_t(std::clamp(3 * int(ra[i]), -32768, 32767));
  mixer_->Mix(buffer.data(), buffer.size() / 2);
  for (size_t i = 0; i < ra.size(); ++i) {
    const int expected = std::clamp(3 * int(ra[i]) + ra[i] + rb[i], -32768, 32767);
    ASSERT_EQ(buffer[i], expected) << "sample " << i;
  }
  EXPECT_TRUE(std::any_of(buffer.begin(), buffer.end(), [](int16_t s) { return s == 32767; }));
}

// One channel gets both tracks' channels folded; more than two get them on the first two.
TEST_F(MusicMixerTest, DevicesOfOtherChannelCounts) {
  const auto file = Track("a.mp3", 300);
  const auto ref = Decoded(file);
  const size_t frames = ref.size() / 2;
  for (int channels : {1, 4, 6}) {
    Make(100, channels);
    ASSERT_TRUE(mixer_->Open(0, file));
    mixer_->Play(0);
    std::vector<int16_t> buffer(frames * size_t(channels), 7);
    mixer_->Mix(buffer.data(), frames);
    for (size_t f = 0; f < frames; ++f) {
      const int16_t* got = &buffer[f * size_t(channels)];
      if (channels == 1) {
        ASSERT_EQ(got[0], 7 + (ref[2 * f] + ref[2 * f + 1]) / 2) << f;
        continue;
      }
      ASSERT_EQ(got[0], 7 + ref[2 * f]) << channels << " frame " << f;
      ASSERT_EQ(got[1], 7 + ref[2 * f + 1]) << channels << " frame " << f;
      for (int c = 2; c < channels; ++c) ASSERT_EQ(got[c], 7) << channels << " frame " << f;
    }
  }
}

// Playing a track of a minute holds a few frames of it decoded, not the minute (which would
// be some 10 MB).
TEST_F(MusicMixerTest, PlayingALongTrackHoldsLittleMemory) {
  Make(500);
  const auto file = Track("long.mp3", 30000);
  const size_t before = mallinfo2().uordblks;
  ASSERT_TRUE(mixer_->Open(0, file));
  mixer_->Play(0);
  Passes(kPass * 20);
  const size_t held = mallinfo2().uordblks - before;
  EXPECT_LT(held, 512u * 1024u) << "bytes held while playing";
  EXPECT_TRUE(mixer_->Playing(0));
}

// The game's calls and the audio thread meet only under the lock; hammered from both sides
// the players stay consistent (and the sanitizers watch the rest).
TEST_F(MusicMixerTest, TheGameAndTheAudioThreadMayCallAtOnce) {
  std::atomic<int> reported{0};
  mixer_ = std::make_unique<MusicMixer>(
      kRate, 2, [&reported](int) { ++reported; }, 100);
  ASSERT_TRUE(mixer_->Open(0, Track("a.mp3", 200)));
  ASSERT_TRUE(mixer_->Open(1, Track("b.mp3", 300)));
  std::atomic<bool> stop{false};
  std::thread device([&] {
    std::vector<int16_t> buffer(2 * 512);
    while (!stop) mixer_->Mix(buffer.data(), 512);
  });
  for (int i = 0; i < 3000; ++i) {
    const int p = i % 2;
    mixer_->Play(p);
    if (i % 7 == 0) mixer_->Stop(p);
    if (i % 11 == 0) mixer_->Seek(p);
    mixer_->Playing(1 - p);
  }
  mixer_->Stop(0);
  mixer_->Stop(1);
  EXPECT_FALSE(mixer_->Playing(0));
  EXPECT_FALSE(mixer_->Playing(1));
  // And a player started over afterwards still plays to its end and says so.
  const int before = reported;
  mixer_->Seek(0);
  mixer_->Play(0);
  // The end is reported `lead` before the last frame sounds, so wait for the player to stop.
  for (int i = 0; i < 5000 && (reported == before || mixer_->Playing(0)); ++i) {
    std::this_thread::sleep_for(1ms);
  }
  stop = true;
  device.join();
  EXPECT_EQ(reported.load(), before + 1);
  EXPECT_FALSE(mixer_->Playing(0));
}

}  // namespace
}  // namespace rv
