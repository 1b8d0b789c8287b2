#include "game/sound/sound.h"

#include <string>
#include <utility>

namespace rv {

Sound::Sound(Audio& audio, std::filesystem::path program_folder)
    : audio_(audio), folder_(std::move(program_folder)) {}

void Sound::LoadMp3File() {
  // The players report the end of every track they play, which is all the looping needs;
  // there are no player settings to make beyond the file.
  for (int16_t i = 0; i < 2; ++i) {
    MusicState[i] = 0;
    // A track that cannot be opened leaves its player silent; nothing is reported.
    audio_.OpenMusic(i, folder_ / "Music" / kTrackFiles[i]);
  }
}

void Sound::PlayMusic(int16_t i) {
  if (!ValidIndex(i)) return;
  if (MusicState[i] != 0) return;  // already playing: never restarted, never doubled
  audio_.PlayMusic(i);
  CurrentMusic = i;
  MusicState[i] = -1;
}

void Sound::StopMusic() {
  if (!ValidIndex(CurrentMusic) || MusicState[CurrentMusic] != -1) return;
  // Cleared first, so a completion caused by the stop or the rewind finds it cleared.
  MusicState[CurrentMusic] = 0;
  audio_.StopMusic(CurrentMusic);
  audio_.SeekMusic(CurrentMusic);
}

void Sound::MusicControl_Done(int16_t index) {
  // An index from outside the two players is ignored rather than trusted.
  if (!ValidIndex(index) || MusicState[index] != -1) return;
  MusicState[index] = 0;
  audio_.SeekMusic(index);
  audio_.PlayMusic(index);
  MusicState[index] = -1;
}

void Sound::PlayWave(std::string_view name, int16_t mode) {
  const bool wait = mode == -1;
  const std::filesystem::path path = folder_ / "Wave" / (std::string(name) + ".dat");
  if (!audio_.PlayEffect(path, wait)) audio_.PlayFallbackTone(wait);
}

void Sound::StopWave() { audio_.StopEffect(); }

}  // namespace rv
