#pragma once
// How the headless platform gets its audio: the recording HeadlessAudio when it is part of
// the build, otherwise a silent stand-in, so the platform builds on its own.

#include <functional>
#include <memory>
#include <vector>

#include "platform/headless/silent_audio.h"
#include "platform/headless/virtual_clock.h"
#include "platform/platform.h"

namespace rv {

struct HeadlessAudioLink {
  std::unique_ptr<Audio> audio;
  // The players whose tracks have played to their end since the last call.
  std::function<std::vector<int>()> take_finished_music;
};

HeadlessAudioLink MakeHeadlessAudio(VirtualClock& clock);

}  // namespace rv
