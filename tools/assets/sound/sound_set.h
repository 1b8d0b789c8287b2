#pragma once

#include <filesystem>

namespace rv::assets {

// Writes the game's sounds under `folder`: Wave/wave1.dat .. wave4.dat (WAV,
// 16-bit mono PCM, 44.1 kHz) and Music/ravolin.mp3, Music/decision.mp3 (44.1 kHz
// stereo MP3). Creates the sub-folders. The bytes depend on nothing but this code.
// Throws std::runtime_error when a file cannot be written.
void WriteSoundSet(const std::filesystem::path& folder);

}  // namespace rv::assets
