// Effect files as the SDL platform looks at them before decoding: the RIFF/WAVE walk that
// says how long a wave plays, so that one far longer than ours is refused unread.

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

#include "fuzz_support.h"
#include "platform/sdl/effect_limits.h"

using rv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<uint64_t> length = rv::WaveLengthMs(std::span<const uint8_t>(data, size));
  const bool riff =
      size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
  Require(riff || !length, "a length for bytes that are no RIFF/WAVE");
  // The refusal is decided from the length alone, the same way every time.
  if (length) {
    Require(rv::EffectRefusal(*length, 0).empty() == (*length <= rv::kMaxEffectMs),
            "a length within the limit refused, or one past it allowed");
  }
  return 0;
}
