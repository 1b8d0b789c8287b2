#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <system_error>
#include <utility>

#include "platform/sdl/effect_limits.h"
#include "platform/silent_audio.h"
#include "storage/stored_file.h"

namespace rv {
namespace {

constexpr int kRate = 44100;
// About 46 ms of latency at 44.1 kHz: a placement click still lands with its block, and the
// mixing thread wakes half as often as with 1024 frames (half its idle processor time).
constexpr int kChunkFrames = 2048;
constexpr int kChannels = 1;  // effects only; the music comes through the music hook
constexpr uint32_t kNoEventType = static_cast<uint32_t>(-1);
// How often a waited effect asks whether the program is to end (the asking pumps the
// window's events).
constexpr uint64_t kEndWaitLookMs = 10;

// A music player's end, reported on the audio thread. It touches no state at all: it only
// posts an event, which SDL allows from any thread.
void PostMusicDone(int player) {
  const uint32_t type = SdlAudio::MusicDoneEventType();
  if (type == kNoEventType) return;
  SDL_Event event{};
  event.type = type;
  event.user.code = player;
  SDL_PushEvent(&event);
}

// The mixer's music hook, on the audio thread: the stream holds silence, then our music,
// then the mixer adds the effect channel on top.
void MixMusic(void* music, Uint8* stream, int len) {
  auto* mixer = static_cast<MusicMixer*>(music);
  const size_t frame_bytes = size_t(mixer->device_channels()) * sizeof(int16_t);
  mixer->Mix(reinterpret_cast<int16_t*>(stream), size_t(len) / frame_bytes);
}

// After the mixer, on the audio thread: everything it made, music and effects together, at
// the player's volume. `gain` is the volume in units of 1/32768.
void ScaleByVolume(void* gain, Uint8* stream, int len) {
  const int32_t g = *static_cast<const int32_t*>(gain);
  auto* samples = reinterpret_cast<int16_t*>(stream);
  for (size_t i = 0; i < size_t(len) / sizeof(int16_t); ++i) {
    samples[i] = static_cast<int16_t>(int32_t(samples[i]) * g / 32768);
  }
}

int DropReportsOf(void* userdata, SDL_Event* event) {
  const int player = *static_cast<const int*>(userdata);
  const bool ours = event->type == SdlAudio::MusicDoneEventType() && event->user.code == player;
  return ours ? 0 : 1;
}

// Milliseconds of sound in a chunk decoded to the device's format.
uint32_t ChunkMs(const Mix_Chunk* chunk) {
  int freq = 0;
  uint16_t format = 0;
  int channels = 0;
  if (Mix_QuerySpec(&freq, &format, &channels) == 0 || freq <= 0 || channels <= 0) return 0;
  const uint64_t frame_bytes = uint64_t(channels) * (SDL_AUDIO_BITSIZE(format) / 8);
  if (frame_bytes == 0) return 0;
  return uint32_t(uint64_t(chunk->alen) * 1000 / (frame_bytes * uint64_t(freq)));
}

void PutLe16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, uint16_t(v));
  PutLe16(out, uint16_t(v >> 16));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}

}  // namespace

uint32_t SdlAudio::MusicDoneEventType() {
  // Registered once; const after that, so the audio thread may read it freely.
  static const uint32_t type = SDL_RegisterEvents(1);
  return type;
}

SdlAudio::SdlAudio(std::function<bool()> end_wait, int volume_percent)
    : end_wait_(std::move(end_wait)), gain_(std::clamp(volume_percent, 0, 100) * 32768 / 100) {
  events_init_ = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
  MusicDoneEventType();
  audio_init_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!audio_init_) {
    std::fprintf(stderr, "sound: no audio device (%s); playing silently\n", SDL_GetError());
    return;
  }
  Mix_Init(MIX_INIT_MP3);
  if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
    std::fprintf(stderr, "sound: cannot open the mixer (%s); playing silently\n", Mix_GetError());
    return;
  }
  mixer_open_ = true;
  Mix_AllocateChannels(kChannels);
  Mix_ReserveChannels(kChannels);  // nothing here plays on "any free channel"
  StartMusicMixer();
  if (gain_ < 32768) Mix_SetPostMix(&ScaleByVolume, &gain_);
  const std::vector<uint8_t> tone = FallbackToneWav();
  tone_ = Mix_LoadWAV_RW(SDL_RWFromConstMem(tone.data(), int(tone.size())), 1);
}

SdlAudio::~SdlAudio() {
  if (mixer_open_) {
    // Once the hook is removed the audio thread no longer reaches the players.
    Mix_HookMusic(nullptr, nullptr);
    Mix_SetPostMix(nullptr, nullptr);
    music_.reset();
    Mix_HaltChannel(-1);
    for (auto& [path, chunk] : effects_) Mix_FreeChunk(chunk);
    Mix_FreeChunk(tone_);
    Mix_CloseAudio();
  }
  if (audio_init_) {
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  if (events_init_) SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

void SdlAudio::DropPendingReports(int player) {
  if (events_init_) SDL_FilterEvents(&DropReportsOf, &player);
}

bool SdlAudio::StartMusicMixer() {
  int freq = 0, channels = 0;
  Uint16 format = 0;
  if (Mix_QuerySpec(&freq, &format, &channels) == 0 || format != AUDIO_S16SYS || freq <= 0 ||
      channels <= 0) {
    std::fprintf(stderr, "sound: the device's format cannot take the music; music is silent\n");
    return false;
  }
  music_ = std::make_unique<MusicMixer>(freq, channels, &PostMusicDone);
  Mix_HookMusic(&MixMusic, music_.get());
  return true;
}

bool SdlAudio::OpenMusic(int player, const std::filesystem::path& file) {
  if (!ValidPlayer(player) || !music_) return false;
  const bool opened = music_->Open(player, file);
  DropPendingReports(player);  // the replaced track's end is no longer news
  return opened;
}

void SdlAudio::PlayMusic(int player) {
  if (ValidPlayer(player) && music_) music_->Play(player);
}

void SdlAudio::StopMusic(int player) {
  if (ValidPlayer(player) && music_) music_->Stop(player);
}

void SdlAudio::SeekMusic(int player) {
  if (!ValidPlayer(player) || !music_) return;
  music_->Seek(player);
  DropPendingReports(player);
}

bool SdlAudio::MusicPlaying(int player) {
  return ValidPlayer(player) && music_ && music_->Playing(player);
}

bool SdlAudio::EffectPlaying() const { return mixer_open_ && Mix_Playing(kEffectChannel) != 0; }

bool SdlAudio::PlayEffect(const std::filesystem::path& file, bool wait) {
  if (!mixer_open_) return false;
  if (refused_.count(file) != 0) {
    Mix_HaltChannel(kEffectChannel);  // silence, which cuts the old effect as a new one would
    return true;
  }
  Mix_Chunk* chunk = nullptr;
  if (auto it = effects_.find(file); it != effects_.end()) {
    chunk = it->second;
  } else {
    bool refused = false;
    chunk = LoadEffect(file, &refused);
    if (refused) {
      refused_.insert(file);
      Mix_HaltChannel(kEffectChannel);
      return true;
    }
    if (!chunk) return false;  // a file that fails now is tried again next time
    effects_.emplace(file, chunk);
  }
  return PlayOnEffectChannel(chunk, wait);
}

Mix_Chunk* SdlAudio::LoadEffect(const std::filesystem::path& file, bool* refused) {
  auto refuse = [&](const std::string& why) -> Mix_Chunk* {
    std::fprintf(stderr, "sound: %s: refused, %s; it plays as silence\n", file.c_str(),
                 why.c_str());
    *refused = true;
    return nullptr;
  };
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(file, ec);
  if (!ec && size > kMaxEffectFileBytes) {
    return refuse(std::to_string(size) + " bytes in the file (an effect file holds at most " +
                  std::to_string(kMaxEffectFileBytes) + ")");
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadStoredFile(file, bytes, &error)) {
    std::fprintf(stderr, "sound: %s\n", error.c_str());
    return nullptr;
  }
  if (const auto ms = WaveLengthMs(bytes); ms && !EffectRefusal(*ms, 0).empty()) {
    return refuse(EffectRefusal(*ms, 0));
  }
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
  if (!chunk) return nullptr;
  // Whatever the header said (or an MP3 says nothing), the decoded sound is what plays.
  if (const std::string why = EffectRefusal(ChunkMs(chunk), chunk->alen); !why.empty()) {
    Mix_FreeChunk(chunk);
    return refuse(why);
  }
  return chunk;
}

void SdlAudio::PlayFallbackTone(bool wait) {
  if (mixer_open_ && tone_) PlayOnEffectChannel(tone_, wait);
}

void SdlAudio::StopEffect() {
  if (mixer_open_) Mix_HaltChannel(kEffectChannel);
}

bool SdlAudio::PlayOnEffectChannel(Mix_Chunk* chunk, bool wait) {
  // Playing on a busy channel cuts what it was playing.
  if (Mix_PlayChannel(kEffectChannel, chunk, 0) != kEffectChannel) return false;
  if (!wait) return true;
  // Blocks without servicing events, as the game expects; only a request to end the program
  // cuts it short. The bound keeps a stalled device (unplugged, suspended) from hanging the
  // game: past it the effect is cut.
  const uint64_t deadline = SDL_GetTicks64() + ChunkMs(chunk) + 1000;
  uint64_t next_look = 0;
  while (Mix_Playing(kEffectChannel)) {
    const uint64_t now = SDL_GetTicks64();
    if (now >= deadline) {
      Mix_HaltChannel(kEffectChannel);
      break;
    }
    if (end_wait_ && now >= next_look) {
      next_look = now + kEndWaitLookMs;
      if (end_wait_()) {
        Mix_HaltChannel(kEffectChannel);
        break;
      }
    }
    SDL_Delay(2);
  }
  return true;
}

std::vector<uint8_t> SdlAudio::FallbackToneWav() {
  constexpr double kFrequency = 880.0;
  constexpr double kLevel = 0.3 * 32767.0;
  constexpr int kFrames = kRate * kFallbackToneMs / 1000;
  constexpr int kAttack = kRate * 10 / 1000;
  constexpr int kRelease = kRate * 40 / 1000;
  std::vector<uint8_t> wav;
  const uint32_t data_bytes = kFrames * 2;
  PutTag(wav, "RIFF");
  PutLe32(wav, 36 + data_bytes);
  PutTag(wav, "WAVE");
  PutTag(wav, "fmt ");
  PutLe32(wav, 16);
  PutLe16(wav, 1);  // PCM
  PutLe16(wav, 1);  // mono
  PutLe32(wav, kRate);
  PutLe32(wav, kRate * 2);
  PutLe16(wav, 2);
  PutLe16(wav, 16);
  PutTag(wav, "data");
  PutLe32(wav, data_bytes);
  for (int i = 0; i < kFrames; ++i) {
    double envelope = 1.0;
    if (i < kAttack) envelope = 0.5 - 0.5 * std::cos(std::numbers::pi * i / kAttack);
    const int from_end = kFrames - 1 - i;
    if (from_end < kRelease)
      envelope = 0.5 - 0.5 * std::cos(std::numbers::pi * from_end / kRelease);
    const double s = kLevel * envelope * std::sin(2.0 * std::numbers::pi * kFrequency * i / kRate);
    PutLe16(wav, uint16_t(int16_t(std::lround(s))));
  }
  return wav;
}

std::unique_ptr<Audio> OpenSdlAudio(std::function<bool()> end_wait, int volume_percent) {
  if (volume_percent <= 0) return std::make_unique<SilentAudio>();
  return std::make_unique<SdlAudio>(std::move(end_wait), volume_percent);
}

}  // namespace rv
