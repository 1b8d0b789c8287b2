#pragma once
// How the SDL platform gets its audio: the SDL2_mixer backend when it is part of the
// build, otherwise silence, so the platform builds on its own.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/platform.h"

namespace rv {

struct SdlAudioLink {
  std::unique_ptr<Audio> audio;
  // The SDL event type that reports a finished music track (user.code = player), or 0.
  uint32_t music_done_event = 0;
};

// `end_wait` is asked during a waited effect whether the program is to end (see SdlAudio).
// At volume 0 no sound device is opened at all: the audio is silence.
SdlAudioLink MakeSdlAudio(std::function<bool()> end_wait, int volume_percent);

// The event type alone, without opening any audio: the platform needs it from its first
// event pump, while the device itself is opened only when the game first asks for audio.
uint32_t SdlMusicDoneEventType();

}  // namespace rv
