// What an effect may be: the length a wave file promises before it is decoded, and the limits.

#include "platform/sdl/effect_limits.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "test_wav.h"

namespace rv {
namespace {

using testing::AppendLe;
using testing::AppendTag;

struct WaveShape {
  uint16_t tag = 1;
  uint16_t channels = 1;
  uint32_t rate = 44100;
  uint16_t bits = 16;
  uint32_t bytes_per_second = 0;  // 0: the plain samples' own rate
  uint32_t declared_data = 0;
  uint32_t actual_data = 0;
  bool odd_chunk_first = false;  // a 3-byte "LIST" chunk (padded to 4) before the format
  bool data_first = false;       // the data chunk before the format chunk
};

std::vector<uint8_t> Wave(const WaveShape& w) {
  const uint16_t block = w.channels * (w.bits / 8);
  std::vector<uint8_t> fmt, data, out;
  AppendTag(fmt, "fmt ");
  AppendLe(fmt, 16, 4);
  AppendLe(fmt, w.tag, 2);
  AppendLe(fmt, w.channels, 2);
  AppendLe(fmt, w.rate, 4);
  AppendLe(fmt, w.bytes_per_second != 0 ? w.bytes_per_second : w.rate * block, 4);
  AppendLe(fmt, block, 2);
  AppendLe(fmt, w.bits, 2);
  AppendTag(data, "data");
  AppendLe(data, w.declared_data, 4);
  data.resize(data.size() + w.actual_data, 0x80);
  AppendTag(out, "RIFF");
  AppendLe(out, 0, 4);  // the readers here never trust the RIFF size
  AppendTag(out, "WAVE");
  if (w.odd_chunk_first) {
    AppendTag(out, "LIST");
    AppendLe(out, 3, 4);
    out.insert(out.end(), {'a', 'b', 'c', 0});
  }
  const auto& first = w.data_first ? data : fmt;
  const auto& second = w.data_first ? fmt : data;
  out.insert(out.end(), first.begin(), first.end());
  out.insert(out.end(), second.begin(), second.end());
  return out;
}

TEST(EffectLimits, TheLengthAWaveFilePromises) {
  struct Case {
    const char* what;
    WaveShape shape;
    std::optional<uint64_t> ms;
  };
  const Case cases[] = {
      {"16-bit mono, 250 ms", {1, 1, 44100, 16, 0, 22050, 22050}, 250},
      {"16-bit stereo, 1 s", {1, 2, 22050, 16, 0, 88200, 88200}, 1000},
      // 30 KB of 8-bit samples at 100 Hz: five minutes.
      {"8-bit at 100 Hz", {1, 1, 100, 8, 0, 30000, 30000}, 300000},
      {"a data chunk claiming more than the file", {1, 1, 100, 8, 0, 0xFFFFFFF0u, 500}, 5000},
      {"an odd chunk before the format", {1, 1, 1000, 8, 0, 2000, 2000, true}, 2000},
      {"compressed: its declared rate", {2, 1, 8000, 4, 4000, 8000, 8000}, 2000},
      {"compressed without a rate", {2, 1, 8000, 4, 0, 8000, 8000}, std::nullopt},
      {"data before the format", {1, 1, 100, 8, 0, 100, 100, false, true}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WaveLengthMs(Wave(c.shape)), c.ms) << c.what;
  }
}

TEST(EffectLimits, AnythingButAWaveFileSaysNothing) {
  const std::vector<uint8_t> whole = Wave({1, 1, 44100, 16, 0, 100, 100});
  const std::vector<std::vector<uint8_t>> others = {
      {},
      {'R', 'I', 'F', 'F'},
      std::vector<uint8_t>(whole.begin(), whole.begin() + 20),  // cut inside the format
      {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},         // an MP3's tag
  };
  for (const auto& bytes : others) EXPECT_EQ(WaveLengthMs(bytes), std::nullopt) << bytes.size();
}

TEST(EffectLimits, TenSecondsAndFourMegabytesAtMost) {
  EXPECT_EQ(EffectRefusal(kMaxEffectMs, kMaxEffectDecodedBytes), "");
  EXPECT_EQ(EffectRefusal(150, 13230), "");
  EXPECT_NE(EffectRefusal(kMaxEffectMs + 1, 0).find("10000 ms"), std::string::npos);
  EXPECT_NE(EffectRefusal(300000, 0).find("300000 ms long"), std::string::npos);
  EXPECT_NE(EffectRefusal(0, kMaxEffectDecodedBytes + 1), "");
}

}  // namespace
}  // namespace rv
