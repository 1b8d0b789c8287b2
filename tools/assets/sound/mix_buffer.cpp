#include "sound/mix_buffer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rv::assets {

MixBuffer::MixBuffer(std::size_t frames, int channels, bool wrap)
    : frames_(frames),
      channels_(channels < 1 ? 1 : channels),
      wrap_(wrap),
      samples_(frames_ * static_cast<std::size_t>(channels_), 0.0f) {}

void MixBuffer::Add(std::int64_t frame, int channel, float value) {
  if (frames_ == 0 || channel < 0 || channel >= channels_) return;
  const auto length = static_cast<std::int64_t>(frames_);
  if (wrap_) {
    frame %= length;
    if (frame < 0) frame += length;
  } else if (frame < 0 || frame >= length) {
    return;
  }
  samples_[static_cast<std::size_t>(frame) * channels_ + channel] += value;
}

void MixBuffer::AddPanned(std::int64_t frame, float value, float pan) {
  if (channels_ == 1) {
    Add(frame, 0, value);
    return;
  }
  const double p = std::clamp(static_cast<double>(pan), -1.0, 1.0);
  const double angle = (p + 1.0) * std::numbers::pi / 4.0;
  Add(frame, 0, static_cast<float>(value * std::cos(angle)));
  Add(frame, 1, static_cast<float>(value * std::sin(angle)));
}

void MixInto(MixBuffer& dest, const MixBuffer& source, std::int64_t offset, float gain, bool swap) {
  if (dest.Channels() != source.Channels()) return;
  const int channels = source.Channels();
  for (std::size_t i = 0; i < source.Frames(); ++i) {
    for (int ch = 0; ch < channels; ++ch) {
      const int to = (swap && channels == 2) ? 1 - ch : ch;
      dest.Add(offset + static_cast<std::int64_t>(i), to, source.At(i, ch) * gain);
    }
  }
}

float Peak(const MixBuffer& buffer) {
  float peak = 0.0f;
  for (float s : buffer.Samples()) peak = std::max(peak, std::fabs(s));
  return peak;
}

double Rms(const MixBuffer& buffer) {
  const auto& samples = buffer.Samples();
  if (samples.empty()) return 0.0;
  double sum = 0.0;
  for (float s : samples) sum += static_cast<double>(s) * s;
  return std::sqrt(sum / static_cast<double>(samples.size()));
}

void SoftLimit(MixBuffer& buffer, float knee) {
  const double peak = Peak(buffer);
  if (peak <= 0.0 || knee <= 0.0f || knee >= 1.0f) return;
  const double threshold = knee * peak;
  const double room = peak - threshold;
  for (float& s : buffer.Samples()) {
    const double level = std::fabs(s);
    if (level <= threshold) continue;
    const double bent = threshold + room * std::tanh((level - threshold) / room);
    s = static_cast<float>(std::copysign(bent, static_cast<double>(s)));
  }
}

void RemoveDc(MixBuffer& buffer) {
  const std::size_t frames = buffer.Frames();
  if (frames == 0) return;
  auto& samples = buffer.Samples();
  for (int ch = 0; ch < buffer.Channels(); ++ch) {
    double sum = 0.0;
    for (std::size_t i = 0; i < frames; ++i) sum += samples[i * buffer.Channels() + ch];
    const auto mean = static_cast<float>(sum / static_cast<double>(frames));
    for (std::size_t i = 0; i < frames; ++i) samples[i * buffer.Channels() + ch] -= mean;
  }
}

void ApplyFades(MixBuffer& buffer, double fade_in_s, double fade_out_s) {
  const std::size_t frames = buffer.Frames();
  const auto fade_in = std::min(frames, static_cast<std::size_t>(fade_in_s * kSampleRate));
  const auto fade_out = std::min(frames, static_cast<std::size_t>(fade_out_s * kSampleRate));
  auto& samples = buffer.Samples();
  const int channels = buffer.Channels();
  for (std::size_t i = 0; i < frames; ++i) {
    double gain = 1.0;
    if (i < fade_in) gain = std::min(gain, static_cast<double>(i) / static_cast<double>(fade_in));
    // The last frame is exactly zero: the effect ends where it started, at rest.
    const std::size_t from_end = frames - 1 - i;
    if (from_end < fade_out)
      gain = std::min(gain, static_cast<double>(from_end) / static_cast<double>(fade_out));
    for (int ch = 0; ch < channels; ++ch) samples[i * channels + ch] *= static_cast<float>(gain);
  }
}

std::vector<std::int16_t> ToPcm16(const MixBuffer& buffer, double peak_dbfs) {
  const float peak = Peak(buffer);
  const double target = std::pow(10.0, peak_dbfs / 20.0);
  return ScaledPcm16(buffer, peak > 0.0f ? target / peak : 0.0);
}

std::vector<std::int16_t> ScaledPcm16(const MixBuffer& buffer, double gain) {
  const double scale = 32767.0 * gain;
  std::vector<std::int16_t> pcm;
  pcm.reserve(buffer.Samples().size());
  for (float s : buffer.Samples()) {
    const double v = std::clamp(std::nearbyint(s * scale), -32768.0, 32767.0);
    pcm.push_back(static_cast<std::int16_t>(v));
  }
  return pcm;
}

}  // namespace rv::assets
