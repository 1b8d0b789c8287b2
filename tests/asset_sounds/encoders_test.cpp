#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "sound/mp3_encoder.h"
#include "sound/wav_writer.h"

namespace rv::assets {
namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint32_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8;
}
std::uint32_t Be32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

std::vector<std::int16_t> StereoSine(std::size_t frames) {
  std::vector<std::int16_t> pcm;
  for (std::size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / 44100.0;
    pcm.push_back(static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * M_PI * 440 * t))));
    pcm.push_back(static_cast<std::int16_t>(std::lround(9000 * std::sin(2 * M_PI * 660 * t))));
  }
  return pcm;
}

TEST(Wav, HeaderDescribesTheSamples) {
  const std::vector<std::int16_t> pcm{0, 1, -1, 32767, -32768, 1234};
  const auto wav = EncodeWav(pcm, 2, 44100);
  ASSERT_EQ(wav.size(), 44u + 12u);
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
  EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Le32(wav, 16), 16u);
  EXPECT_EQ(Le16(wav, 20), 1u);
  EXPECT_EQ(Le16(wav, 22), 2u);
  EXPECT_EQ(Le32(wav, 24), 44100u);
  EXPECT_EQ(Le32(wav, 28), 44100u * 4);
  EXPECT_EQ(Le16(wav, 32), 4u);
  EXPECT_EQ(Le16(wav, 34), 16u);
  EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
  EXPECT_EQ(Le32(wav, 40), 12u);
  for (std::size_t i = 0; i < pcm.size(); ++i) {
    EXPECT_EQ(static_cast<std::int16_t>(Le16(wav, 44 + 2 * i)), pcm[i]) << i;
  }
}

TEST(Wav, ImpossibleFormatsAreRefused) {
  EXPECT_THROW(EncodeWav({1, 2, 3}, 2, 44100), std::invalid_argument);
  EXPECT_THROW(EncodeWav({1, 2}, 0, 44100), std::invalid_argument);
  EXPECT_THROW(EncodeWav({1, 2}, 1, 0), std::invalid_argument);
  EXPECT_EQ(EncodeWav({}, 1, 44100).size(), 44u);
}

// The first frame carries the Info tag with the LAME extension; its frame count,
// delay and padding let a decoder give back exactly the frames we encoded.
TEST(Mp3, TagFrameRecordsTheExactLength) {
  const std::size_t frames = 44100 * 2 + 333;
  const auto mp3 = EncodeMp3(StereoSine(frames), 44100, 160);
  ASSERT_GT(mp3.size(), 1000u);
  EXPECT_EQ(mp3[0], 0xFF);
  EXPECT_EQ(mp3[1] & 0xE0, 0xE0);
  // MPEG-1 stereo: the side information is 32 bytes after the 4-byte header.
  const std::size_t info = 4 + 32;
  const std::string tag(mp3.begin() + info, mp3.begin() + info + 4);
  ASSERT_TRUE(tag == "Info" || tag == "Xing") << tag;
  const std::uint32_t flags = Be32(mp3, info + 4);
  ASSERT_TRUE(flags & 1) << "frame count missing";
  const std::uint32_t mpeg_frames = Be32(mp3, info + 8);
  std::size_t at = info + 8 + 4;
  if (flags & 2) at += 4;
  if (flags & 4) at += 100;
  if (flags & 8) at += 4;
  ASSERT_EQ(std::string(mp3.begin() + at, mp3.begin() + at + 4), "LAME");
  const std::size_t delay_at = at + 21;
  const std::uint32_t delay = mp3[delay_at] << 4 | mp3[delay_at + 1] >> 4;
  const std::uint32_t padding = (mp3[delay_at + 1] & 0x0F) << 8 | mp3[delay_at + 2];
  EXPECT_GT(delay, 0u);
  EXPECT_EQ(static_cast<std::size_t>(mpeg_frames) * 1152 - delay - padding, frames);
}

TEST(Mp3, SameInputSameBytes) {
  const auto pcm = StereoSine(30000);
  EXPECT_EQ(EncodeMp3(pcm, 44100, 160), EncodeMp3(pcm, 44100, 160));
}

TEST(Mp3, ImpossibleSettingsAreReported) {
  EXPECT_THROW(EncodeMp3(StereoSine(1000), 44100, 7), std::runtime_error);
  auto odd = StereoSine(1000);
  odd.pop_back();
  EXPECT_THROW(EncodeMp3(odd, 44100, 160), std::invalid_argument);
}

TEST(Mp3, SilenceAndEmptyInputStillMakeAStream) {
  const auto empty = EncodeMp3({}, 44100, 160);
  ASSERT_GE(empty.size(), 4u);
  EXPECT_EQ(empty[0], 0xFF);
  const auto silent = EncodeMp3(std::vector<std::int16_t>(2 * 4410, 0), 44100, 160);
  ASSERT_GE(silent.size(), 4u);
  EXPECT_EQ(silent[0], 0xFF);
}

}  // namespace
}  // namespace rv::assets
