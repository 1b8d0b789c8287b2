#include "platform/sdl/effect_limits.h"

#include <algorithm>
#include <cstring>

namespace rv {

namespace {

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

constexpr uint16_t kPcm = 1;
constexpr uint16_t kFloat = 3;
constexpr uint16_t kExtensible = 0xFFFE;

struct WaveFormat {
  uint16_t tag = 0;
  uint32_t rate = 0;
  uint32_t bytes_per_second = 0;
  uint16_t block = 0;
};

std::optional<uint64_t> LengthMs(const WaveFormat& f, uint64_t data_bytes) {
  // Plain samples: whole frames at the sample rate. Anything compressed: its declared rate.
  if ((f.tag == kPcm || f.tag == kFloat || f.tag == kExtensible) && f.block > 0 && f.rate > 0) {
    return data_bytes / f.block * 1000 / f.rate;
  }
  if (f.bytes_per_second > 0) return data_bytes * 1000 / f.bytes_per_second;
  return std::nullopt;
}

}  // namespace

std::optional<uint64_t> WaveLengthMs(std::span<const uint8_t> bytes) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  std::optional<WaveFormat> format;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const uint8_t* chunk = bytes.data() + at;
    const uint64_t size = Le32(chunk + 4);
    const uint64_t available = bytes.size() - (at + 8);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16 && available >= 16) {
      format = WaveFormat{Le16(chunk + 8), Le32(chunk + 12), Le32(chunk + 16), Le16(chunk + 20)};
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      // A data chunk that claims more than the file holds plays what the file holds.
      if (!format) return std::nullopt;
      return LengthMs(*format, std::min(size, available));
    }
    at += 8 + size + (size & 1);  // chunks are padded to an even size
  }
  return std::nullopt;
}

std::string EffectRefusal(uint64_t length_ms, uint64_t decoded_bytes) {
  if (length_ms > kMaxEffectMs) {
    return std::to_string(length_ms) + " ms long (an effect plays at most " +
           std::to_string(kMaxEffectMs) + " ms)";
  }
  if (decoded_bytes > kMaxEffectDecodedBytes) {
    return std::to_string(decoded_bytes) + " bytes decoded (an effect holds at most " +
           std::to_string(kMaxEffectDecodedBytes) + ")";
  }
  return {};
}

}  // namespace rv
