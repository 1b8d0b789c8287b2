#include "sound/sound_set.h"

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

// Effects peak a little lower than the music: they play on top of it.
constexpr double kEffectPeakDb = -3.0;
// Headroom for the MP3 encoder, whose output overshoots the PCM's peaks.
constexpr double kMusicPeakDb = -2.0;
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

void WriteTrack(const std::filesystem::path& path, const Score& score) {
  WriteBytes(path, EncodeMp3(ToPcm16(RenderScore(score), kMusicPeakDb), kSampleRate, kMusicKbps));
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
  WriteTrack(music / "ravolin.mp3", MatchScore());
  WriteTrack(music / "decision.mp3", TitleScore());
}

}  // namespace rv::assets
