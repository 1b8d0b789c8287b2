#pragma once
// Audio through SDL2_mixer. Each music player is a mixer channel of its own (0 and 1);
// effects share channel 2, where a new one cuts the old.
//
// Memory: a decoded track is some 10 MB. OpenMusic only checks that the file can be decoded;
// the track is decoded on its first Play. When a player starts, every other player that
// stands rewound at its start (so has nothing to resume) gives its decoded track back, and
// decodes it again on its next Play. The game plays one track at a time, so one is held.
// Without an audio device the object is silent: every call does nothing, harmlessly.
//
// Completion: the mixer reports a channel's end on the audio thread. Only a track that has
// played to its natural end is reported, as an SDL_USEREVENT of MusicDoneEventType() with
// user.code = player; the platform's event pump hands it to EventSink::OnMusicDone. Halts
// caused by StopMusic or SeekMusic are never reported, and SeekMusic also drops an end
// report still waiting in the queue for that player: a report arriving after the game's
// completion handler had restarted the track would restart it again, and again, forever.
//
// One SdlAudio at a time per process: the mixer and its completion callback are global.
// Destroy it before SDL_Quit.

#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

#include "platform/platform.h"

struct Mix_Chunk;

namespace rv {

class SdlAudio : public Audio {
 public:
  static constexpr int kEffectChannel = 2;
  static constexpr int kFallbackToneMs = 150;

  SdlAudio();
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
  // Whether the player holds its track decoded now.
  bool MusicDecoded(int player) const;

  // The built-in tone as a complete 16-bit mono WAV file at 44.1 kHz: a soft sine beep
  // with a raised-cosine attack and release, so it neither clicks in nor out.
  static std::vector<uint8_t> FallbackToneWav();

 private:
  enum class Where { kStart, kPlaying, kPaused, kEnd };
  struct Player {
    std::filesystem::path file;  // empty while no track is open
    Mix_Chunk* chunk = nullptr;  // the decoded track, or nullptr until it is needed
    Where where = Where::kStart;
  };

  static bool ValidPlayer(int player) { return player == 0 || player == 1; }
  // Notices a track that has ended since we last looked.
  void Refresh(int player);
  // Decodes the player's track if it is not held; false when that fails.
  bool Decode(int player);
  // Gives back the decoded tracks of the other players that stand at their start.
  void ReleaseIdleTracks(int except);
  // Removes the queued end reports of one player.
  void DropPendingReports(int player);
  // Plays a chunk on the effect channel and, with wait, blocks until it has ended.
  bool PlayOnEffectChannel(Mix_Chunk* chunk, bool wait);

  bool events_init_ = false;
  bool audio_init_ = false;
  bool mixer_open_ = false;
  Player players_[2];
  std::map<std::filesystem::path, Mix_Chunk*> effects_;
  Mix_Chunk* tone_ = nullptr;
};

}  // namespace rv
