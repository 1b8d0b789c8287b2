#include "platform/sdl/sdl_audio_link.h"

#if __has_include("platform/sdl/sdl_audio.h")
#include "platform/sdl/sdl_audio.h"
#define RV_HAVE_SDL_AUDIO 1
#else
#include "platform/headless/silent_audio.h"
#endif

namespace rv {

SdlAudioLink MakeSdlAudio() {
  SdlAudioLink link;
#ifdef RV_HAVE_SDL_AUDIO
  link.audio = std::make_unique<SdlAudio>();
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
