#pragma once
// Small MP3 files written by the tests themselves, through the asset generator's encoder
// (constant bit rate, with the LAME tag that records the encoder's delay and padding).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "sound/mp3_encoder.h"

namespace rv::testing {

// Interleaved stereo: a 440 Hz tone on the left and 660 Hz on the right, so that a swap or a
// fold of the channels shows, with a ramp in and out so that neither end clicks.
inline std::vector<int16_t> ToneStereoPcm(int ms, int rate = 44100) {
  const size_t frames = size_t(int64_t(rate) * ms / 1000);
  const size_t ramp = std::min<size_t>(frames / 2, size_t(rate / 200));
  std::vector<int16_t> pcm(frames * 2);
  for (size_t f = 0; f < frames; ++f) {
    double level = 9000.0;
    if (f < ramp) level *= double(f) / double(ramp);
    if (frames - 1 - f < ramp) level *= double(frames - 1 - f) / double(ramp);
    const double t = double(f) / rate;
    pcm[2 * f] = int16_t(level * std::sin(2 * 3.14159265358979 * 440.0 * t));
    pcm[2 * f + 1] = int16_t(level * std::sin(2 * 3.14159265358979 * 660.0 * t));
  }
  return pcm;
}

inline std::vector<uint8_t> ToneMp3(int ms, int rate = 44100) {
  return assets::EncodeMp3(ToneStereoPcm(ms, rate), rate, 128);
}

}  // namespace rv::testing
