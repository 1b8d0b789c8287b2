#pragma once
// Audio through SDL2_mixer. Effects play on the mixer's one channel, where a new one cuts the
// old. The two music players are streamed (see MusicMixer): each decodes its MP3 while it
// plays, in the mixer's music hook, so a Play returns at once and no whole track is held
// decoded. Without an audio device the object is silent: every call does nothing, harmlessly.
//
// Completion: a player reports the end of its track on the audio thread, as an
// SDL_USEREVENT of MusicDoneEventType() with user.code = player; the platform's event pump
// hands it to EventSink::OnMusicDone. Halts caused by StopMusic or SeekMusic are never
// reported, and a SeekMusic that rewinds also drops an end report still waiting in the queue
// for that player: a report arriving after the game's completion handler had restarted the
// track would restart it again, and again, forever.
//
// One SdlAudio at a time per process: the mixer and its hooks are global. Destroy it before
// SDL_Quit.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/music_mixer.h"

struct Mix_Chunk;

namespace rv {

class SdlAudio : public Audio {
 public:
  static constexpr int kEffectChannel = 0;
  static constexpr int kFallbackToneMs = 150;

  // `end_wait`, when given, is asked every few milliseconds while an effect is waited for;
  // true cuts the effect and returns (a shutdown has been asked for). Everything sounds at
  // `volume_percent` (0..100) of its level.
  explicit SdlAudio(std::function<bool()> end_wait = {}, int volume_percent = 100);
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // The SDL event type of a music player's end; registered once per process.
  static uint32_t MusicDoneEventType();

  bool OpenMusic(int player, const std::filesystem::path& file) override;
  void PlayMusic(int player) override;
  void StopMusic(int player) override;
  void SeekMusic(int player) override;
  bool PlayEffect(const std::filesystem::path& file, bool wait) override;
  void PlayFallbackTone(bool wait) override;
  void StopEffect() override;

  // True when no audio device could be opened.
  bool silent() const { return !mixer_open_; }
  // Whether the player's track is sounding now (not paused, not ended).
  bool MusicPlaying(int player);
  bool EffectPlaying() const;
  size_t CachedEffectCount() const { return effects_.size(); }

  // The built-in tone as a complete 16-bit mono WAV file at 44.1 kHz: a soft sine beep
  // with a raised-cosine attack and release, so it neither clicks in nor out.
  static std::vector<uint8_t> FallbackToneWav();

 private:
  static bool ValidPlayer(int player) { return player == 0 || player == 1; }
  // Starts the music players on the mixer's music hook; false when the device's format
  // cannot take them.
  bool StartMusicMixer();
  // Removes the queued end reports of one player.
  void DropPendingReports(int player);
  // Plays a chunk on the effect channel and, with wait, blocks until it has ended.
  bool PlayOnEffectChannel(Mix_Chunk* chunk, bool wait);
  // Reads and decodes an effect file through the stored-file opener (a FIFO or a device is
  // never waited on). Null when it cannot be played; *refused when it is no effect of ours
  // (too long or too large), which is said once on standard error.
  Mix_Chunk* LoadEffect(const std::filesystem::path& file, bool* refused);

  bool events_init_ = false;
  bool audio_init_ = false;
  bool mixer_open_ = false;
  std::unique_ptr<MusicMixer> music_;  // nullptr while silent
  std::map<std::filesystem::path, Mix_Chunk*> effects_;
  std::set<std::filesystem::path> refused_;  // files that play as silence
  std::function<bool()> end_wait_;
  int32_t gain_;  // the volume in units of 1/32768, read by the audio thread
  Mix_Chunk* tone_ = nullptr;
};

// The game's audio at `volume_percent`: SdlAudio, or at volume 0 silence, for which no sound
// device is opened at all. `end_wait` as for SdlAudio.
std::unique_ptr<Audio> OpenSdlAudio(std::function<bool()> end_wait, int volume_percent);

}  // namespace rv
