#include "platform/headless/headless_audio.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <system_error>

namespace rv {
namespace {

uint32_t ReadLe32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t ReadLe16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

bool IsRegularFile(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec);
}

// The first 12 bytes name a RIFF/WAVE file.
bool LooksLikeWav(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::array<char, 12> head{};
  if (!in.read(head.data(), head.size())) return false;
  return std::memcmp(head.data(), "RIFF", 4) == 0 && std::memcmp(head.data() + 8, "WAVE", 4) == 0;
}

}  // namespace

HeadlessAudio::HeadlessAudio(VirtualClock& clock) : clock_(clock) {}

void HeadlessAudio::Log(std::string text) { records_.push_back({clock_.Now(), std::move(text)}); }

void HeadlessAudio::Settle(Player& p) {
  if (!p.playing) return;
  const uint32_t elapsed = clock_.Now() - p.started_at;
  if (elapsed >= p.length - p.position) {
    p.playing = false;
    p.position = p.length;
    p.end_pending = true;
  }
}

bool HeadlessAudio::OpenMusic(int player, const std::filesystem::path& file) {
  if (!ValidPlayer(player)) return false;
  Player& p = players_[player];
  const std::string prefix =
      "music_open " + std::to_string(player) + " " + file.filename().string();
  p.playing = false;
  p.position = 0;
  p.end_pending = false;
  p.open = IsRegularFile(file);
  if (!p.open) {
    Log(prefix + " failed");
    return false;
  }
  if (p.length_override) {
    p.length = *p.length_override;
  } else {
    p.length = WavDurationMs(file).value_or(kDefaultTrackMs);
  }
  Log(prefix);
  return true;
}

void HeadlessAudio::PlayMusic(int player) {
  if (!ValidPlayer(player)) return;
  Log("music_play " + std::to_string(player));
  Player& p = players_[player];
  Settle(p);
  // Play starts where the player stands; at the end of its track there is nothing left.
  if (!p.open || p.playing || p.position >= p.length) return;
  p.playing = true;
  p.started_at = clock_.Now();
}

void HeadlessAudio::StopMusic(int player) {
  if (!ValidPlayer(player)) return;
  Log("music_stop " + std::to_string(player));
  Player& p = players_[player];
  Settle(p);
  if (!p.playing) return;
  p.position += clock_.Now() - p.started_at;
  p.playing = false;
}

void HeadlessAudio::SeekMusic(int player) {
  if (!ValidPlayer(player)) return;
  Log("music_seek " + std::to_string(player));
  Player& p = players_[player];
  p.playing = false;
  p.position = 0;
  p.end_pending = false;
}

std::vector<int> HeadlessAudio::TakeFinishedMusic() {
  std::vector<int> finished;
  for (int i = 0; i < 2; ++i) {
    Player& p = players_[i];
    Settle(p);
    if (!p.end_pending) continue;
    p.end_pending = false;
    finished.push_back(i);
    Log("music_done " + std::to_string(i));
  }
  return finished;
}

void HeadlessAudio::SetTrackLength(int player, uint32_t ms) {
  if (!ValidPlayer(player)) return;
  Player& p = players_[player];
  Settle(p);
  p.length_override = ms;
  p.length = ms;
  p.position = std::min(p.position, ms);
}

uint32_t HeadlessAudio::MusicPosition(int player) {
  if (!ValidPlayer(player)) return 0;
  Player& p = players_[player];
  Settle(p);
  return p.playing ? p.position + (clock_.Now() - p.started_at) : p.position;
}

bool HeadlessAudio::MusicPlaying(int player) {
  if (!ValidPlayer(player)) return false;
  Settle(players_[player]);
  return players_[player].playing;
}

bool HeadlessAudio::PlayEffect(const std::filesystem::path& file, bool wait) {
  const std::string name = file.filename().string();
  std::optional<uint32_t> length;
  if (IsRegularFile(file)) {
    std::error_code ec;
    if (LooksLikeWav(file)) {
      length = WavDurationMs(file);  // a broken WAV header cannot be played
    } else if (std::filesystem::file_size(file, ec) > 0 && !ec) {
      length = kDefaultEffectMs;  // some other format a real mixer may decode
    }
  }
  if (!length) {
    Log("effect_failed " + name);
    return false;
  }
  Log("effect " + name + (wait ? " wait" : " nowait"));
  if (wait) {
    effect_active_ = false;
    clock_.Advance(*length);
  } else {
    effect_active_ = true;
    effect_end_ = clock_.Now() + *length;
  }
  return true;
}

void HeadlessAudio::PlayFallbackTone(bool wait) {
  Log(wait ? "tone wait" : "tone nowait");
  if (wait) {
    effect_active_ = false;
    clock_.Advance(kFallbackToneMs);
  } else {
    effect_active_ = true;
    effect_end_ = clock_.Now() + kFallbackToneMs;
  }
}

void HeadlessAudio::StopEffect() {
  Log("effect_stop");
  effect_active_ = false;
}

bool HeadlessAudio::EffectPlaying() const {
  return effect_active_ && int32_t(effect_end_ - clock_.Now()) > 0;
}

std::optional<uint32_t> HeadlessAudio::WavDurationMs(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  uint32_t byte_rate = 0;
  size_t at = 12;
  // Walk the chunks; sizes are checked against what is left so a hand-edited size
  // can neither run past the end nor wrap around.
  while (bytes.size() - at >= 8) {
    const unsigned char* chunk = bytes.data() + at;
    const uint64_t size = ReadLe32(chunk + 4);
    const size_t body = at + 8;
    const size_t left = bytes.size() - body;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 16 || left < 16) return std::nullopt;
      const unsigned char* fmt = bytes.data() + body;
      const uint16_t channels = ReadLe16(fmt + 2);
      const uint32_t rate = ReadLe32(fmt + 4);
      byte_rate = ReadLe32(fmt + 8);
      const uint16_t block_align = ReadLe16(fmt + 12);
      const uint16_t bits = ReadLe16(fmt + 14);
      if (channels == 0 || rate == 0 || bits == 0 || block_align == 0 ||
          uint64_t(rate) * block_align != byte_rate) {
        return std::nullopt;
      }
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (byte_rate == 0) return std::nullopt;  // data before its format
      // A truncated file plays what it holds.
      const uint64_t data = std::min<uint64_t>(size, left);
      return uint32_t((data * 1000 + byte_rate - 1) / byte_rate);
    }
    if (size > left) return std::nullopt;
    at = body + size_t(size) + (size & 1);
    if (at > bytes.size()) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace rv
