#pragma once
// Small WAV files written by the tests themselves: 16-bit PCM sine tones.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace rv::testing {

inline void AppendLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

inline void AppendTag(std::vector<uint8_t>& out, const std::string& tag) {
  out.insert(out.end(), tag.begin(), tag.end());
}

// A tone of `ms` milliseconds at `rate` Hz with `channels` interleaved channels.
inline std::vector<uint8_t> ToneWav(int ms, int rate = 44100, int channels = 1) {
  const uint32_t frames = uint32_t(uint64_t(rate) * ms / 1000);
  const uint32_t data = frames * channels * 2;
  std::vector<uint8_t> wav;
  AppendTag(wav, "RIFF");
  AppendLe(wav, 36 + data, 4);
  AppendTag(wav, "WAVE");
  AppendTag(wav, "fmt ");
  AppendLe(wav, 16, 4);
  AppendLe(wav, 1, 2);
  AppendLe(wav, channels, 2);
  AppendLe(wav, rate, 4);
  AppendLe(wav, rate * channels * 2, 4);
  AppendLe(wav, channels * 2, 2);
  AppendLe(wav, 16, 2);
  AppendTag(wav, "data");
  AppendLe(wav, data, 4);
  for (uint32_t f = 0; f < frames; ++f) {
    const auto s = int16_t(8000 * std::sin(2 * 3.14159265358979 * 440.0 * f / rate));
    for (int c = 0; c < channels; ++c) AppendLe(wav, uint16_t(s), 2);
  }
  return wav;
}

using rv::test::WriteBytes;

using TempFolder = rv::test::TempFolder;

}  // namespace rv::testing
