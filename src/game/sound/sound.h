#pragma once
// The game's music and effects. Two music players loop their tracks through the completion
// handler for as long as `MusicState` says they should play; effects are fire-and-forget or
// waited for. The state rules are exact: a stop never restarts a track, a play never starts
// one twice, and the state is cleared around every command the game itself issues so that
// completions caused by those commands are ignored.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/platform.h"

namespace rv {

class Sound {
 public:
  // The match track (player 0) and the title and menu track (player 1).
  static constexpr const char* kTrackFiles[2] = {"ravolin.mp3", "decision.mp3"};

  Sound(Audio& audio, std::filesystem::path program_folder);

  // Opens both tracks once at start-up; both players stopped.
  void LoadMp3File();
  // Starts player i (0 or 1) unless the game already has it playing.
  void PlayMusic(int16_t i);
  // Stops and rewinds the player started last, if it is playing; no other player.
  void StopMusic();
  // A player's completion: rewinds and restarts it while it should be playing.
  void MusicControl_Done(int16_t index);
  // Plays folder/Wave/<name>.dat; mode -1 waits for its end, any other mode returns at once.
  // An effect that cannot be played gives the built-in tone, in the same mode.
  void PlayWave(std::string_view name, int16_t mode);
  // Cuts the effect that is playing, if any.
  void StopWave();

  // -1 while the game wants player i to be playing, 0 otherwise.
  int16_t MusicState[2] = {0, 0};
  // The player started last (0 or 1).
  int16_t CurrentMusic = 0;

 private:
  static bool ValidIndex(int16_t i) { return i == 0 || i == 1; }

  Audio& audio_;
  std::filesystem::path folder_;
};

}  // namespace rv
