// Effect files (Wave/*.dat) as the headless platform plays them: the RIFF/WAVE header walk
// that gives an effect its length on the virtual clock. The SDL platform hands the same files
// to SDL_mixer, which is not ours to fuzz.

#include <cstdint>
#include <cstring>
#include <optional>

#include "fuzz_support.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/virtual_clock.h"

using rv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const rv::fuzz::ScratchFolder folder("wav");
  const std::filesystem::path file = folder.path() / "wave1.dat";
  rv::fuzz::WriteBytes(file, data, size);

  const std::optional<uint32_t> length = rv::HeadlessAudio::WavDurationMs(file);
  const bool riff =
      size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
  Require(riff || !length, "a length for a file that is no RIFF/WAVE");
  // One byte a second is the slowest rate the header can claim, so no length can exceed a
  // second for every byte of the file.
  Require(!length || *length <= uint64_t{size} * 1000, "a length longer than the file can hold");

  // Played to its end, the effect moves the clock by its length; a file that is not WAV but
  // holds bytes gets the default length, a broken WAV or an empty file none at all.
  rv::VirtualClock clock;
  rv::HeadlessAudio audio(clock);
  const bool played = audio.PlayEffect(file, true);
  if (riff) {
    Require(played == length.has_value(), "a WAV played though its header is broken");
    Require(clock.Now() == length.value_or(0), "the clock moved by another length");
  } else {
    Require(played == (size > 0), "a non-empty file in another format was not played");
    Require(clock.Now() == (size > 0 ? rv::HeadlessAudio::kDefaultEffectMs : 0),
            "the clock moved by another length");
  }
  return 0;
}
