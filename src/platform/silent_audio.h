#pragma once
// The audio of a game without sound: at volume 0 no sound device is opened at all.

#include "platform/platform.h"

namespace rv {

// Plays nothing and reports no effect as playable, so callers fall back to their tone,
// which is silent too.
class SilentAudio : public Audio {
 public:
  bool OpenMusic(int, const std::filesystem::path&) override { return false; }
  void PlayMusic(int) override {}
  void StopMusic(int) override {}
  void SeekMusic(int) override {}
  bool PlayEffect(const std::filesystem::path&, bool) override { return false; }
  void PlayFallbackTone(bool) override {}
  void StopEffect() override {}
};

}  // namespace rv
