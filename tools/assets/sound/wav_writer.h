#pragma once

#include <cstdint>
#include <vector>

namespace rv::assets {

// A RIFF WAVE file of 16-bit PCM: the 44-byte canonical header, then the
// interleaved samples, little-endian.
std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& interleaved, int channels,
                                    int sample_rate);

}  // namespace rv::assets
