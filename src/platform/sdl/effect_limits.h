#pragma once
// What an effect may be. The game's effects last well under two seconds; a file far longer or
// larger is no effect of ours, and played to its end it would hold the game for its whole
// length (a 30 KB wave of 8-bit samples at 100 Hz decodes to 53 MB and plays for 5 minutes).
// Such a file is refused when it is loaded and plays as silence.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace rv {

inline constexpr uint64_t kMaxEffectMs = 10'000;
inline constexpr uint64_t kMaxEffectFileBytes = 8u << 20;
inline constexpr uint64_t kMaxEffectDecodedBytes = 4u << 20;

// How long a RIFF WAVE file says it plays, from its "fmt " and "data" chunks alone, so that a
// file can be refused before it is decoded. nullopt when the bytes are not such a file (or
// say nothing usable); the decoder then decides.
std::optional<uint64_t> WaveLengthMs(std::span<const uint8_t> bytes);

// Why an effect of this length and decoded size is refused, or an empty string.
std::string EffectRefusal(uint64_t length_ms, uint64_t decoded_bytes);

}  // namespace rv
