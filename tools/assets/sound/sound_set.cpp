#include "sound/sound_set.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "sound/effects.h"
#include "sound/mix_buffer.h"
#include "sound/mp3_encoder.h"
#include "sound/music.h"
#include "sound/wav_writer.h"

namespace rv::assets {
namespace {

// An effect plays on top of the music and the two are added: the loudest effect
// on the loudest music peak must stay below full scale, with half a decibel to
// spare and room for the MP3 encoder, whose output overshoots the PCM's peaks
// by up to some six tenths of a decibel (-9.5 and -5 dBFS add up to -1.1 dBFS).
constexpr double kEffectPeakDb = -9.5;
constexpr double kMusicPeakDb = -5.0;
constexpr int kMusicKbps = 160;

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error("cannot create " + path.string());
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

void WriteEffect(const std::filesystem::path& path, const MixBuffer& effect) {
  WriteBytes(path, EncodeWav(ToPcm16(effect, kEffectPeakDb), effect.Channels(), kSampleRate));
}

void WriteTrack(const std::filesystem::path& path, const MixBuffer& track, double gain) {
  WriteBytes(path, EncodeMp3(ScaledPcm16(track, gain), kSampleRate, kMusicKbps));
}

// Gains that give every track the same loudness (RMS): the loudness the quietest
// of them reaches with its peak at kMusicPeakDb, so none peaks above that.
std::vector<double> LevelledGains(const std::vector<const MixBuffer*>& tracks) {
  const double peak_limit = std::pow(10.0, kMusicPeakDb / 20.0);
  double loudness = -1.0;
  for (const MixBuffer* t : tracks) {
    const double peak = Peak(*t);
    if (peak <= 0.0) continue;
    const double at_limit = Rms(*t) * peak_limit / peak;
    if (loudness < 0.0 || at_limit < loudness) loudness = at_limit;
  }
  std::vector<double> gains;
  for (const MixBuffer* t : tracks) {
    const double rms = Rms(*t);
    gains.push_back(rms > 0.0 ? loudness / rms : 0.0);
  }
  return gains;
}

}  // namespace

void WriteSoundSet(const std::filesystem::path& folder) {
  const auto wave = folder / "Wave";
  const auto music = folder / "Music";
  std::filesystem::create_directories(wave);
  std::filesystem::create_directories(music);
  WriteEffect(wave / "wave1.dat", RenderPlaceEffect());
  WriteEffect(wave / "wave2.dat", RenderStartEffect());
  WriteEffect(wave / "wave3.dat", RenderRankingEffect());
  WriteEffect(wave / "wave4.dat", RenderGoodbyeEffect());
  const MixBuffer match = RenderScore(MatchScore());
  const MixBuffer title = RenderScore(TitleScore());
  const std::vector<double> gains = LevelledGains({&match, &title});
  WriteTrack(music / "ravolin.mp3", match, gains[0]);
  WriteTrack(music / "decision.mp3", title, gains[1]);
}

}  // namespace rv::assets
