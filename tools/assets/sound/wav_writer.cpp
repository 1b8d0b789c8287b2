#include "sound/wav_writer.h"

#include <stdexcept>

namespace rv::assets {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
  out.insert(out.end(), tag, tag + 4);
}

}  // namespace

std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& interleaved, int channels,
                                    int sample_rate) {
  if (channels < 1 || sample_rate < 1 ||
      interleaved.size() % static_cast<std::size_t>(channels) != 0) {
    throw std::invalid_argument("EncodeWav: bad format");
  }
  const std::uint64_t data_bytes = interleaved.size() * 2;
  if (data_bytes > 0xFFFFFFFFull - 36) throw std::invalid_argument("EncodeWav: too long for RIFF");
  const auto block_align = static_cast<std::uint32_t>(channels * 2);
  std::vector<std::uint8_t> out;
  out.reserve(44 + data_bytes);
  PutTag(out, "RIFF");
  Put32(out, static_cast<std::uint32_t>(36 + data_bytes));
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, static_cast<std::uint32_t>(channels));
  Put32(out, static_cast<std::uint32_t>(sample_rate));
  Put32(out, static_cast<std::uint32_t>(sample_rate) * block_align);
  Put16(out, block_align);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, static_cast<std::uint32_t>(data_bytes));
  for (std::int16_t s : interleaved) Put16(out, static_cast<std::uint16_t>(s));
  return out;
}

}  // namespace rv::assets
