#include "platform/sdl/music_mixer.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace rv {
namespace {

int16_t Saturate(int32_t v) { return int16_t(std::clamp<int32_t>(v, -32768, 32767)); }

}  // namespace

MusicMixer::MusicMixer(int rate, int device_channels, EndReport report, uint32_t lead_ms)
    : rate_(rate),
      device_channels_(std::max(device_channels, 1)),
      report_(std::move(report)),
      lead_frames_(size_t(uint64_t(rate) * lead_ms / 1000)),
      block_(kBlockFrames * StreamedTrack::kChannels) {}

MusicMixer::~MusicMixer() = default;

bool MusicMixer::Open(int player, const std::filesystem::path& file) {
  if (!ValidPlayer(player)) return false;
  // The file is opened and its headers read before the lock is taken, so the audio thread
  // never waits for that.
  std::string error;
  std::unique_ptr<StreamedTrack> track = StreamedTrack::Open(file, rate_, &error);
  if (!track) {
    std::fprintf(stderr, "sound: music track %s cannot be played (%s); player %d is silent\n",
                 file.c_str(), error.c_str(), player);
  } else if (!track->gapless()) {
    std::fprintf(stderr, "sound: the MP3 decoder is not gapless; %s loops with a gap\n",
                 file.c_str());
  }
  // The old track is closed after the lock is given back, for the same reason.
  std::unique_ptr<StreamedTrack> old;
  std::lock_guard lock(mutex_);
  Player& p = players_[player];
  old = std::move(p.track);
  p = Player{};
  p.track = std::move(track);
  return p.track != nullptr;
}

void MusicMixer::Play(int player) {
  if (!ValidPlayer(player)) return;
  std::lock_guard lock(mutex_);
  Player& p = players_[player];
  if (!p.track || p.track->failed()) return;
  if (p.where == Where::kStart || p.where == Where::kPaused) p.where = Where::kPlaying;
}

void MusicMixer::Stop(int player) {
  if (!ValidPlayer(player)) return;
  std::lock_guard lock(mutex_);
  Player& p = players_[player];
  if (p.where == Where::kPlaying) p.where = Where::kPaused;
}

void MusicMixer::Seek(int player) {
  if (!ValidPlayer(player)) return;
  std::lock_guard lock(mutex_);
  Player& p = players_[player];
  if (!p.track) return;
  if (p.where == Where::kPlaying && p.reported) {
    p.join_start = true;
    return;
  }
  Rewind(p);
  p.where = Where::kStart;
}

bool MusicMixer::Playing(int player) {
  if (!ValidPlayer(player)) return false;
  std::lock_guard lock(mutex_);
  return players_[player].where == Where::kPlaying;
}

bool MusicMixer::HasTrack(int player) {
  if (!ValidPlayer(player)) return false;
  std::lock_guard lock(mutex_);
  return players_[player].track != nullptr;
}

void MusicMixer::Rewind(Player& p) {
  p.track->Rewind();
  p.played = 0;
  p.reported = false;
  p.join_start = false;
}

void MusicMixer::Mix(int16_t* out, size_t frames) {
  std::lock_guard lock(mutex_);
  for (int i = 0; i < kPlayers; ++i) MixPlayer(i, players_[i], out, frames);
}

void MusicMixer::ReportIfDue(int index, Player& p) {
  if (p.reported) return;
  const auto length = p.track->length();
  const bool at_end = p.track->ended();
  if (at_end || (length && p.played + lead_frames_ >= *length)) {
    p.reported = true;
    if (report_) report_(index);
  }
}

void MusicMixer::MixPlayer(int index, Player& p, int16_t* out, size_t frames) {
  size_t done = 0;
  while (p.where == Where::kPlaying && done < frames) {
    const size_t want = std::min(kBlockFrames, frames - done);
    const size_t got = p.track->Read(block_.data(), want);
    AddBlock(out + done * size_t(device_channels_), got);
    done += got;
    p.played += got;
    if (got == want) {
      ReportIfDue(index, p);
      continue;
    }
    if (p.track->failed()) {
      if (!p.told_failure) {
        std::fprintf(stderr, "sound: music player %d stops: %s\n", index, p.track->error().c_str());
        p.told_failure = true;
      }
      p.where = Where::kEnd;
      return;
    }
    // The end of the track: join its start on, or stop there and say so.
    if (p.join_start) {
      Rewind(p);
      if (p.track->failed()) p.where = Where::kEnd;
      continue;
    }
    ReportIfDue(index, p);
    p.where = Where::kEnd;
  }
}

void MusicMixer::AddBlock(int16_t* out, size_t frames) const {
  const int16_t* in = block_.data();
  for (size_t f = 0; f < frames; ++f, in += 2, out += device_channels_) {
    if (device_channels_ == 1) {
      out[0] = Saturate(out[0] + (int32_t(in[0]) + in[1]) / 2);
    } else {
      out[0] = Saturate(out[0] + in[0]);
      out[1] = Saturate(out[1] + in[1]);
    }
  }
}

}  // namespace rv
