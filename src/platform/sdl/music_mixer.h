#pragma once
// The two music players, streamed. Each player owns one StreamedTrack and decodes it while
// the device plays: Mix, called on the audio thread for every buffer the device wants, adds
// the playing tracks into it. Play, Stop and Seek (the game's thread) only change a player's
// state under the lock and return at once; nothing is decoded on the game's thread.
//
// Memory: a player holds its open file, the decoder's state and the track's read-ahead
// (StreamedTrack::kAheadFrames, 186 ms); with the block being mixed that is all the decoded
// sound there is, whatever the track's length. The compressed file is read as it is
// decoded, as SDL2_mixer's own music streams do; holding both files in memory instead
// would cost some 2.3 MB.
//
// Ends and looping: the end of a playing track is reported through the report callback, on
// the audio thread, once per pass through the track, and `lead` before the end is reached
// when the track's length is known. That early report gives the game time to answer with
// Seek then Play while the end of the track still sounds: a Seek on a playing player whose
// end is reported does not jump, it joins the start of the track on to its last frame, so
// the loop has no gap. An answer that comes too late finds the player stopped at its end,
// and the Seek then rewinds it as usual. Stop and Seek are never reported.
//
// A track that cannot be opened or stops decoding leaves its player silent, with one line
// on stderr; it never reports an end, so it cannot loop on its failure.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sdl/streamed_track.h"

namespace rv {

class MusicMixer {
 public:
  static constexpr int kPlayers = 2;
  // Frames decoded per step: the longest stretch of decoded sound held at once (23 ms).
  static constexpr size_t kBlockFrames = 1024;
  static constexpr uint32_t kDefaultLeadMs = 500;
  using EndReport = std::function<void(int player)>;

  // `rate` and `device_channels` describe the buffers Mix receives (signed 16-bit,
  // interleaved). A device of one channel gets the tracks folded to mono; one of more than
  // two gets them on its first two channels.
  MusicMixer(int rate, int device_channels, EndReport report, uint32_t lead_ms = kDefaultLeadMs);
  ~MusicMixer();
  MusicMixer(const MusicMixer&) = delete;
  MusicMixer& operator=(const MusicMixer&) = delete;

  // Replaces the player's track (halting it, unreported). False when the file cannot be
  // opened as MP3; the player is then silent.
  bool Open(int player, const std::filesystem::path& file);
  void Play(int player);  // from where the player stands; nothing at the end or while playing
  void Stop(int player);  // halts and keeps the position
  void Seek(
      int player);  // back to the start (see above for a playing player whose end is reported)
  bool Playing(int player);
  bool HasTrack(int player);

  int device_channels() const { return device_channels_; }

  // The audio thread: adds `frames` frames of every playing track into `out`.
  void Mix(int16_t* out, size_t frames);

 private:
  enum class Where { kStart, kPlaying, kPaused, kEnd };
  struct Player {
    std::unique_ptr<StreamedTrack> track;
    Where where = Where::kStart;
    size_t played = 0;        // frames decoded since the start of this pass
    bool reported = false;    // this pass's end has been reported
    bool join_start = false;  // at the end, go on from the start instead of stopping
    bool told_failure = false;
  };

  static bool ValidPlayer(int player) { return player >= 0 && player < kPlayers; }
  // With the lock held, on the audio thread.
  void MixPlayer(int index, Player& p, int16_t* out, size_t frames);
  void AddBlock(int16_t* out, size_t frames) const;
  void ReportIfDue(int index, Player& p);
  void Rewind(Player& p);

  const int rate_;
  const int device_channels_;
  const EndReport report_;
  const size_t lead_frames_;
  std::mutex mutex_;
  Player players_[kPlayers];
  std::vector<int16_t> block_;  // kBlockFrames of decoded stereo, reused by every step
};

}  // namespace rv
