#include "platform/sdl/sdl_audio_link.h"

#include <utility>

#include "platform/headless/silent_audio.h"

#if __has_include("platform/sdl/sdl_audio.h")
#include "platform/sdl/sdl_audio.h"
#define RV_HAVE_SDL_AUDIO 1
#endif

namespace rv {

SdlAudioLink MakeSdlAudio([[maybe_unused]] std::function<bool()> end_wait, int volume_percent) {
  SdlAudioLink link;
  if (volume_percent <= 0) {
    link.audio = std::make_unique<SilentAudio>();
    return link;
  }
#ifdef RV_HAVE_SDL_AUDIO
  link.audio = std::make_unique<SdlAudio>(std::move(end_wait), volume_percent);
  link.music_done_event = SdlAudio::MusicDoneEventType();
#else
  link.audio = std::make_unique<SilentAudio>();
#endif
  return link;
}

uint32_t SdlMusicDoneEventType() {
#ifdef RV_HAVE_SDL_AUDIO
  return SdlAudio::MusicDoneEventType();
#else
  return 0;
#endif
}

}  // namespace rv
