#include "platform/sdl/sdl_audio_link.h"

#include <utility>

#if __has_include("platform/sdl/sdl_audio.h")
#include "platform/sdl/sdl_audio.h"
#define RV_HAVE_SDL_AUDIO 1
#else
#include "platform/headless/silent_audio.h"
#endif

namespace rv {

SdlAudioLink MakeSdlAudio([[maybe_unused]] std::function<bool()> end_wait) {
  SdlAudioLink link;
#ifdef RV_HAVE_SDL_AUDIO
  link.audio = std::make_unique<SdlAudio>(std::move(end_wait));
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
