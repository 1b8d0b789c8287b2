#pragma once

#include <cstdint>
#include <vector>

namespace rv::assets {

// Encodes interleaved 16-bit stereo PCM to constant-bit-rate MP3 with libmp3lame.
// The first frame is the LAME/Info tag, filled in after encoding, which records
// the encoder delay and padding so that decoders give back exactly the PCM's
// length: a looping track must not gain a gap at its seam.
// Throws std::invalid_argument for a buffer of odd length, std::runtime_error
// when the encoder refuses.
std::vector<std::uint8_t> EncodeMp3(const std::vector<std::int16_t>& interleaved_stereo,
                                    int sample_rate, int kbps);

}  // namespace rv::assets
