#include "sound/sound_set.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/sdl/music_mixer.h"
#include "platform/sdl/streamed_track.h"
#include "sound/music.h"
#include "sound/sequencer.h"

namespace rv::assets {
namespace {

namespace fs = std::filesystem;

constexpr double kRate = 44100.0;
const double kMinus1Db = 32767.0 * std::pow(10.0, -1.0 / 20.0);
const double kMinusHalfDb = 32767.0 * std::pow(10.0, -0.5 / 20.0);

double Dbfs(double level) { return 20.0 * std::log10(level / 32767.0); }

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Decoded sound in the mixer's format: 44.1 kHz, signed 16-bit, stereo.
struct Decoded {
  std::vector<std::int16_t> samples;
  std::size_t Frames() const { return samples.size() / 2; }
  double Seconds() const { return static_cast<double>(Frames()) / kRate; }
  int Peak() const {
    int peak = 0;
    for (auto s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
  }
  double Rms(std::size_t from, std::size_t count) const {
    double sum = 0.0;
    for (std::size_t i = 2 * from; i < 2 * (from + count); ++i)
      sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(2 * count));
  }
  int MaxAbs(std::size_t from, std::size_t count) const {
    int m = 0;
    for (std::size_t i = 2 * from; i < 2 * (from + count); ++i)
      m = std::max(m, std::abs(int(samples[i])));
    return m;
  }
  // Largest change between neighbouring frames of one channel within [from, from + count).
  int MaxStep(std::size_t from, std::size_t count) const {
    int m = 0;
    for (std::size_t f = from + 1; f < from + count; ++f) {
      for (int ch = 0; ch < 2; ++ch)
        m = std::max(m, std::abs(samples[2 * f + ch] - samples[2 * (f - 1) + ch]));
    }
    return m;
  }
};

class SoundSet : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    folder_ = new fs::path(fs::temp_directory_path() / ("rv_sounds_" + std::to_string(getpid())));
    fs::remove_all(*folder_);
    WriteSoundSet(*folder_);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    Mix_Init(MIX_INIT_MP3);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
    int freq = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&freq, &format, &channels), 1);
    ASSERT_EQ(freq, 44100);
    ASSERT_EQ(format, AUDIO_S16SYS);
    ASSERT_EQ(channels, 2);
  }

  static void TearDownTestSuite() {
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();
    fs::remove_all(*folder_);
    delete folder_;
    folder_ = nullptr;
  }

  static Decoded Decode(const std::string& relative) {
    Decoded d;
    const auto path = (*folder_ / relative).string();
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    EXPECT_NE(chunk, nullptr) << relative << ": " << Mix_GetError();
    if (chunk == nullptr) return d;
    const auto* p = reinterpret_cast<const std::int16_t*>(chunk->abuf);
    d.samples.assign(p, p + chunk->alen / 2);
    Mix_FreeChunk(chunk);
    return d;
  }

  // A track as the game's music player decodes it: streamed, a device buffer at a time.
  static Decoded DecodeStreamed(const std::string& relative) {
    Decoded d;
    auto track = StreamedTrack::Open(*folder_ / relative, 44100);
    EXPECT_NE(track, nullptr) << relative;
    if (track == nullptr) return d;
    std::vector<std::int16_t> block(2 * 2048);
    std::size_t got = 0;
    while ((got = track->Read(block.data(), 2048)) > 0) {
      d.samples.insert(d.samples.end(), block.begin(), block.begin() + std::ptrdiff_t(2 * got));
    }
    EXPECT_FALSE(track->failed()) << relative << ": " << track->error();
    return d;
  }

  // Two passes through a track as the music player plays them when the game answers every
  // end with Seek then Play: the second pass joined on to the first.
  static Decoded PlayTwice(const std::string& relative, std::size_t frames_per_pass) {
    Decoded d;
    int reports = 0;
    MusicMixer mixer(44100, 2, [&reports](int) { ++reports; });
    EXPECT_TRUE(mixer.Open(0, *folder_ / relative)) << relative;
    mixer.Play(0);
    std::vector<std::int16_t> buffer(2 * 2048);
    int answered = 0;
    while (d.Frames() < 2 * frames_per_pass) {
      std::fill(buffer.begin(), buffer.end(), 0);
      mixer.Mix(buffer.data(), 2048);
      d.samples.insert(d.samples.end(), buffer.begin(), buffer.end());
      if (reports > answered) {
        answered = reports;
        mixer.Seek(0);
        mixer.Play(0);
      }
    }
    return d;
  }

  static fs::path* folder_;
};

using Set = SoundSet;

fs::path* SoundSet::folder_ = nullptr;

struct EffectRange {
  const char* file;
  double min_s;
  double max_s;
};

// wave1 is cut on every placement; wave2..4 hold the game while they play.
const EffectRange kEffects[] = {
    {"Wave/wave1.dat", 0.04, 0.25},
    {"Wave/wave2.dat", 0.8, 1.2},
    {"Wave/wave3.dat", 0.3, 0.999},
    {"Wave/wave4.dat", 0.8, 1.2},
};

void EffectsAreMonoPcmWavAt44k() {
  for (const auto& e : kEffects) {
    const auto bytes = ReadAll(*Set::folder_ / e.file);
    ASSERT_GT(bytes.size(), 44u) << e.file;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF") << e.file;
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "WAVE") << e.file;
    EXPECT_EQ(bytes[20] | bytes[21] << 8, 1) << e.file << " is not PCM";
    EXPECT_EQ(bytes[22] | bytes[23] << 8, 1) << e.file << " is not mono";
    EXPECT_EQ(bytes[24] | bytes[25] << 8 | bytes[26] << 16, 44100) << e.file;
    EXPECT_EQ(bytes[34], 16) << e.file;
  }
}

void EffectsDecodeWithTheirLengths() {
  for (const auto& e : kEffects) {
    const Decoded d = Set::Decode(e.file);
    EXPECT_GE(d.Seconds(), e.min_s) << e.file;
    EXPECT_LE(d.Seconds(), e.max_s) << e.file;
  }
}

void EffectsStartAndEndAtRestWithoutClicks() {
  for (const auto& e : kEffects) {
    const Decoded d = Set::Decode(e.file);
    ASSERT_GT(d.Frames(), 1000u) << e.file;
    const int peak = d.Peak();
    EXPECT_LE(d.MaxAbs(0, 1), peak / 100) << e.file << ": first sample";
    EXPECT_LE(d.MaxAbs(d.Frames() - 1, 1), peak / 100) << e.file << ": last sample";
    // The envelope ramps: half a millisecond in, the sound is still well below its peak ...
    EXPECT_LT(d.MaxAbs(0, 22), peak * 6 / 10) << e.file << ": no attack ramp";
    // ... and the last two milliseconds have faded nearly out.
    EXPECT_LT(d.MaxAbs(d.Frames() - 88, 88), peak / 10) << e.file << ": no fade-out";
  }
}

void EffectsAreLoudButNeverClip() {
  for (const auto& e : kEffects) {
    const Decoded d = Set::Decode(e.file);
    EXPECT_LT(d.Peak(), kMinus1Db) << e.file;
    EXPECT_GT(d.Peak(), 32767 / 4) << e.file << " is too quiet";
  }
}

struct TrackCase {
  const char* file;
  Score (*score)();
  double min_s;
  double max_s;
};

const TrackCase kTracks[] = {{"Music/ravolin.mp3", &MatchScore, 150.0, 240.0},
                             {"Music/decision.mp3", &TitleScore, 30.0, 90.0}};

void TracksDecodeToTheirComposedLength() {
  for (const auto& t : kTracks) {
    const Decoded d = Set::DecodeStreamed(t.file);
    EXPECT_GE(d.Seconds(), t.min_s) << t.file;
    EXPECT_LE(d.Seconds(), t.max_s) << t.file;
    // The tag frame lets the decoder drop the encoder's delay and padding
    // (about 60 ms otherwise), so the loop is exactly as long as composed.
    const Score s = t.score();
    const auto composed = Timeline(s.bpm, s.Steps()).Frames();
    EXPECT_NEAR(static_cast<double>(d.Frames()), static_cast<double>(composed), 1.0) << t.file;
  }
}

void TracksHaveSaneLevelsAndNoClipping() {
  for (const auto& t : kTracks) {
    const Decoded d = Set::DecodeStreamed(t.file);
    ASSERT_GT(d.Frames(), 0u) << t.file;
    EXPECT_LT(d.Peak(), kMinus1Db) << t.file << " peaks above -1 dBFS";
    EXPECT_GT(d.Peak(), 32767 / 3) << t.file << " is too quiet";
    const double rms_db = 20.0 * std::log10(d.Rms(0, d.Frames()) / 32768.0);
    EXPECT_GT(rms_db, -26.0) << t.file;
    EXPECT_LT(rms_db, -9.0) << t.file;
    double sum = 0.0;
    for (auto s : d.samples) sum += s;
    EXPECT_LT(std::fabs(sum / static_cast<double>(d.samples.size())), 30.0)
        << t.file << ": DC offset";
    bool stereo = false;
    for (std::size_t f = 0; f < d.Frames() && !stereo; ++f)
      stereo = d.samples[2 * f] != d.samples[2 * f + 1];
    EXPECT_TRUE(stereo) << t.file;
  }
}

void TracksLoopWithoutASeam() {
  for (const auto& t : kTracks) {
    const Decoded d = Set::DecodeStreamed(t.file);
    const std::size_t ten_ms = 441;
    ASSERT_GT(d.Frames(), 4 * ten_ms) << t.file;
    const double head = d.Rms(0, ten_ms);
    const double tail = d.Rms(d.Frames() - ten_ms, ten_ms);
    const double whole = d.Rms(0, d.Frames());
    // No silence on either side of the seam, and no jump in level across it.
    EXPECT_GT(head, whole / 8) << t.file;
    EXPECT_GT(tail, whole / 8) << t.file;
    EXPECT_LT(std::max(head, tail) / std::min(head, tail), 4.0)
        << t.file << ": head " << head << " tail " << tail << " whole " << whole;
    // Stepping from the last frame to the first is no larger than the steps
    // the music itself takes around the seam.
    const int nearby = std::max(d.MaxStep(d.Frames() - ten_ms, ten_ms), d.MaxStep(0, ten_ms));
    for (int ch = 0; ch < 2; ++ch) {
      const int jump = std::abs(d.samples[ch] - d.samples[2 * (d.Frames() - 1) + ch]);
      EXPECT_LE(jump, nearby * 3 / 2) << t.file << " channel " << ch;
    }
  }
}

// Streamed piece by piece, a track is the same sound as decoded whole.
void StreamingDecodesWhatAWholeDecodeGives() {
  for (const auto& t : kTracks) {
    const Decoded streamed = Set::DecodeStreamed(t.file);
    const Decoded whole = Set::Decode(t.file);
    ASSERT_EQ(streamed.Frames(), whole.Frames()) << t.file;
    EXPECT_TRUE(streamed.samples == whole.samples) << t.file;
  }
}

// As played, the end of a pass runs straight into the start of the next: the frames around
// the seam are the track's last frames followed by its first, with nothing between.
void PlayedLoopJoinsEndToStart() {
  for (const auto& t : kTracks) {
    const Decoded once = Set::DecodeStreamed(t.file);
    const std::size_t n = once.Frames();
    const Decoded played = Set::PlayTwice(t.file, n);
    ASSERT_GE(played.Frames(), 2 * n) << t.file;
    EXPECT_TRUE(std::equal(once.samples.begin(), once.samples.end(), played.samples.begin()))
        << t.file << ": first pass";
    EXPECT_TRUE(std::equal(once.samples.begin(), once.samples.end(),
                           played.samples.begin() + std::ptrdiff_t(2 * n)))
        << t.file << ": second pass";
  }
}

// The game plays an effect over the music by adding the two: the loudest effect landing on
// the loudest music peak must still leave half a decibel below full scale.
void NoEffectOnAnyMusicPeakClips() {
  int effect_peak = 0;
  for (const auto& e : kEffects) effect_peak = std::max(effect_peak, Set::Decode(e.file).Peak());
  int music_peak = 0;
  for (const auto& t : kTracks)
    music_peak = std::max(music_peak, Set::DecodeStreamed(t.file).Peak());
  const int worst = effect_peak + music_peak;
  std::printf("levels: loudest effect %.2f dBFS, loudest music %.2f dBFS, both %.2f dBFS\n",
              Dbfs(effect_peak), Dbfs(music_peak), Dbfs(worst));
  EXPECT_LE(worst, kMinusHalfDb) << "effect " << effect_peak << " on music " << music_peak;
}

// The menu and the match are heard one after the other: neither may sound much louder.
void TracksAreEquallyLoud() {
  double rms_db[std::size(kTracks)] = {};
  for (std::size_t i = 0; i < std::size(kTracks); ++i) {
    const Decoded d = Set::DecodeStreamed(kTracks[i].file);
    ASSERT_GT(d.Frames(), 0u) << kTracks[i].file;
    rms_db[i] = Dbfs(d.Rms(0, d.Frames()));
    std::printf("levels: %s %.1f s, RMS %.2f dBFS, peak %.2f dBFS\n", kTracks[i].file, d.Seconds(),
                rms_db[i], Dbfs(d.Peak()));
  }
  EXPECT_LE(std::fabs(rms_db[0] - rms_db[1]), 1.5)
      << kTracks[0].file << " " << rms_db[0] << " dBFS, " << kTracks[1].file << " " << rms_db[1];
}

// Generating the set takes seconds, and CTest runs every test in a process of
// its own: the checks are grouped so that it is generated four times, not twelve.
TEST_F(SoundSet, EffectsAreCleanMonoWavsOfTheirLengths) {
  EffectsAreMonoPcmWavAt44k();
  EffectsDecodeWithTheirLengths();
  EffectsStartAndEndAtRestWithoutClicks();
  EffectsAreLoudButNeverClip();
}

TEST_F(SoundSet, TracksDecodeToCleanSeamlessLoopsOfTheirComposedLength) {
  TracksDecodeToTheirComposedLength();
  TracksHaveSaneLevelsAndNoClipping();
  TracksLoopWithoutASeam();
  StreamingDecodesWhatAWholeDecodeGives();
  PlayedLoopJoinsEndToStart();
}

TEST_F(SoundSet, EffectsOverTheMusicNeverClipAndTheTracksAreBalanced) {
  NoEffectOnAnyMusicPeakClips();
  TracksAreEquallyLoud();
}

TEST_F(SoundSet, TwoRunsWriteIdenticalBytes) {
  const fs::path again = *Set::folder_ / "again";
  WriteSoundSet(again);
  for (const char* file : {"Wave/wave1.dat", "Wave/wave2.dat", "Wave/wave3.dat", "Wave/wave4.dat",
                           "Music/ravolin.mp3", "Music/decision.mp3"}) {
    const auto first = ReadAll(*Set::folder_ / file);
    const auto second = ReadAll(again / file);
    ASSERT_FALSE(first.empty()) << file;
    EXPECT_TRUE(first == second) << file << " differs between runs";
  }
}

TEST(SoundSetFailure, AnUnwritableFolderIsReported) {
  const fs::path blocker =
      fs::temp_directory_path() / ("rv_sounds_block_" + std::to_string(getpid()));
  std::ofstream(blocker) << "a file where the folder should be";
  EXPECT_ANY_THROW(WriteSoundSet(blocker));
  fs::remove(blocker);
}

}  // namespace
}  // namespace rv::assets
