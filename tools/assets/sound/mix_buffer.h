#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rv::assets {

inline constexpr int kSampleRate = 44100;

// Interleaved float samples that voices are added into. A looping buffer folds
// whatever rings past its end back onto its beginning, so a note held over the
// last bar line sounds on at the top of the next pass instead of being cut.
class MixBuffer {
 public:
  MixBuffer(std::size_t frames, int channels, bool wrap);

  // Adds to one channel; frames outside the buffer are folded (looping) or dropped.
  void Add(std::int64_t frame, int channel, float value);
  // Adds a mono value placed between left (-1) and right (+1) with constant power.
  // A mono buffer takes the value unchanged.
  void AddPanned(std::int64_t frame, float value, float pan);

  std::size_t Frames() const { return frames_; }
  int Channels() const { return channels_; }
  bool Wraps() const { return wrap_; }
  float At(std::size_t frame, int channel) const { return samples_[frame * channels_ + channel]; }
  std::vector<float>& Samples() { return samples_; }
  const std::vector<float>& Samples() const { return samples_; }

 private:
  std::size_t frames_;
  int channels_;
  bool wrap_;
  std::vector<float> samples_;
};

// Adds `source` (same channel count) into `dest` starting `offset` frames later,
// scaled per channel; a second channel is crossed over when `swap` is set (an
// echo answering from the other side).
void MixInto(MixBuffer& dest, const MixBuffer& source, std::int64_t offset, float gain, bool swap);

// Largest absolute sample.
float Peak(const MixBuffer& buffer);
// Root mean square over every sample of every channel: how loud the buffer sounds.
double Rms(const MixBuffer& buffer);
// Bends samples louder than `knee` x peak smoothly (tanh) towards the peak:
// the few hits where drums and notes coincide stop setting the level of the
// whole piece. Quieter samples pass unchanged; signs and order are kept.
void SoftLimit(MixBuffer& buffer, float knee);
// Subtracts each channel's mean (a constant shift keeps a loop's seam intact).
void RemoveDc(MixBuffer& buffer);
// Linear fades at both ends; effects start and stop at silence so they never click.
void ApplyFades(MixBuffer& buffer, double fade_in_s, double fade_out_s);
// Scales so that the peak lands at peak_dbfs and rounds to 16-bit interleaved PCM.
// A silent buffer stays silent.
std::vector<std::int16_t> ToPcm16(const MixBuffer& buffer, double peak_dbfs);
// Scales every sample by `gain` (full scale = 1) and rounds to 16-bit interleaved PCM,
// holding what would pass full scale there.
std::vector<std::int16_t> ScaledPcm16(const MixBuffer& buffer, double gain);

}  // namespace rv::assets
