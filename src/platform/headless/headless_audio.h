#pragma once
// Audio for tests and rv_sim: nothing sounds, every call is recorded with its virtual time,
// and the two music players keep time on the virtual clock so that tracks end (and loop
// through the game's completion handler) exactly as real ones would, only much faster.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/virtual_clock.h"
#include "platform/platform.h"

namespace rv {

class HeadlessAudio : public Audio {
 public:
  // One recorded call: "music_open 0 ravolin.mp3", "music_play 0", "music_stop 0",
  // "music_seek 0", "music_done 0", "effect wave1.dat nowait", "effect wave2.dat wait",
  // "effect_failed wave9.dat", "tone wait", "effect_stop". File names without folders.
  struct Record {
    uint32_t time = 0;
    std::string text;
  };

  // Length of a track whose duration cannot be read from its file (MP3 is not decoded here).
  static constexpr uint32_t kDefaultTrackMs = 60000;
  // Length of an effect that is not a readable WAV file.
  static constexpr uint32_t kDefaultEffectMs = 500;
  // Length of the built-in tone (the same as the SDL backend's).
  static constexpr uint32_t kFallbackToneMs = 150;

  explicit HeadlessAudio(VirtualClock& clock);

  bool OpenMusic(int player, const std::filesystem::path& file) override;
  void PlayMusic(int player) override;
  void StopMusic(int player) override;
  void SeekMusic(int player) override;
  bool PlayEffect(const std::filesystem::path& file, bool wait) override;
  void PlayFallbackTone(bool wait) override;
  void StopEffect() override;

  // The players whose track has played to its end by now, each end reported once. The
  // player then stands at the end of its track, stopped. Halts by StopMusic and SeekMusic
  // are never reported, and a seek drops an end not yet taken (it belongs to the playback
  // the seek has abandoned).
  std::vector<int> TakeFinishedMusic();

  // Test hook: the length of the track open (or opened next) on a player.
  void SetTrackLength(int player, uint32_t ms);

  const std::vector<Record>& records() const { return records_; }
  void ClearRecords() { records_.clear(); }

  // Where a player stands in its track (ms from the start), and whether it is sounding.
  uint32_t MusicPosition(int player);
  bool MusicPlaying(int player);
  // Whether an effect started without waiting is still sounding at the virtual time.
  bool EffectPlaying() const;

  // Duration of a RIFF/WAVE file from its header: nullopt when the file cannot be read or
  // is not a well-formed PCM WAV (header fields that do not add up count as not well-formed).
  static std::optional<uint32_t> WavDurationMs(const std::filesystem::path& file);

 private:
  struct Player {
    bool open = false;
    std::optional<uint32_t> length_override;
    uint32_t length = kDefaultTrackMs;
    uint32_t position = 0;    // ms from the start, valid while not playing
    uint32_t started_at = 0;  // virtual time of the last play, valid while playing
    bool playing = false;
    bool end_pending = false;  // played to its end, not yet taken
  };

  static bool ValidPlayer(int player) { return player == 0 || player == 1; }
  // Brings a playing player up to the virtual time: marks its end when it has come.
  void Settle(Player& p);
  void Log(std::string text);

  VirtualClock& clock_;
  Player players_[2];
  uint32_t effect_end_ = 0;
  bool effect_active_ = false;
  std::vector<Record> records_;
};

}  // namespace rv
