#include "platform/headless/headless_audio_link.h"

#if __has_include("platform/headless/headless_audio.h")
#include "platform/headless/headless_audio.h"
#define RV_HAVE_HEADLESS_AUDIO 1
#endif

namespace rv {

HeadlessAudioLink MakeHeadlessAudio([[maybe_unused]] VirtualClock& clock) {
  HeadlessAudioLink link;
#ifdef RV_HAVE_HEADLESS_AUDIO
  auto audio = std::make_unique<HeadlessAudio>(clock);
  HeadlessAudio* recorder = audio.get();
  link.take_finished_music = [recorder] { return recorder->TakeFinishedMusic(); };
  link.audio = std::move(audio);
#else
  link.audio = std::make_unique<SilentAudio>();
  link.take_finished_music = [] { return std::vector<int>{}; };
#endif
  return link;
}

}  // namespace rv
