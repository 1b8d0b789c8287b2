#pragma once
// One MP3 track decoded a little at a time by libmpg123, as it is played: at most
// kAheadFrames of it are held decoded, never the whole track. The output is interleaved
// signed 16-bit stereo at the rate asked for (libmpg123 resamples a track of another rate,
// and doubles a mono one).
//
// Decoding is gapless: the encoder's delay and padding recorded in the LAME tag are cut, so
// the track is exactly as long as the PCM it was made from and its end joins its start.
//
// Not thread-safe: one thread at a time (the music mixer holds its lock around every call).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

struct mpg123_handle_struct;

namespace rv {

class StreamedTrack {
 public:
  static constexpr int kChannels = 2;
  // Decoded ahead in bursts of this many frames (186 ms at 44.1 kHz, 32 KB): the audio thread
  // then decodes seven MP3 frames at once, with the decoder's tables warm in the cache, on
  // every fourth device buffer, instead of two cold frames on every one. The same sound
  // then costs about a third less processor time.
  static constexpr size_t kAheadFrames = 8192;

  // Opens the file and reads its first frame header. nullptr when it cannot be opened or
  // holds no MPEG audio; `error` (if given) then says why.
  static std::unique_ptr<StreamedTrack> Open(const std::filesystem::path& file, int rate,
                                             std::string* error = nullptr);
  ~StreamedTrack();
  StreamedTrack(const StreamedTrack&) = delete;
  StreamedTrack& operator=(const StreamedTrack&) = delete;

  // Decodes up to `frames` frames into `out` and returns how many it wrote. Fewer than asked
  // only at the end of the track (ended()) or on a decoding error (failed()).
  size_t Read(int16_t* out, size_t frames);
  // Back to the first frame; false (and failed()) when the decoder cannot go there.
  bool Rewind();

  // Both are told only once every frame decoded before the end or the error has been read.
  bool ended() const { return ended_ && Buffered() == 0; }
  bool failed() const { return !error_.empty() && Buffered() == 0; }
  const std::string& error() const { return error_; }
  // Frames of the whole track, when its header tells them (a LAME or Xing tag does).
  std::optional<size_t> length() const { return length_; }
  // Whether the decoder cuts the encoder's delay and padding.
  bool gapless() const { return gapless_; }

 private:
  explicit StreamedTrack(mpg123_handle_struct* handle) : handle_(handle) {}
  size_t Buffered() const { return ahead_end_ - ahead_begin_; }
  // Decodes the next burst into the empty read-ahead; false when nothing more comes.
  bool Refill();

  mpg123_handle_struct* handle_;
  std::unique_ptr<int16_t[]> ahead_;  // kAheadFrames frames, made on the first read
  size_t ahead_begin_ = 0;            // frames of `ahead_` already read
  size_t ahead_end_ = 0;              // frames of `ahead_` decoded
  std::optional<size_t> length_;
  bool gapless_ = false;
  bool ended_ = false;  // the decoder has reached the end of the file
  std::string error_;
};

}  // namespace rv
