#include "sound/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace rv::assets {
namespace {

struct LameCloser {
  void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using Lame = std::unique_ptr<lame_global_flags, LameCloser>;

Lame Configure(int sample_rate, int kbps) {
  Lame lame(lame_init());
  if (!lame) throw std::runtime_error("lame_init failed");
  lame_global_flags* f = lame.get();
  lame_set_in_samplerate(f, sample_rate);
  lame_set_out_samplerate(f, sample_rate);
  lame_set_num_channels(f, 2);
  lame_set_mode(f, JOINT_STEREO);
  lame_set_VBR(f, vbr_off);
  lame_set_brate(f, kbps);
  lame_set_quality(f, 3);
  lame_set_bWriteVbrTag(f, 1);
  lame_set_write_id3tag_automatic(f, 0);
  if (lame_init_params(f) < 0) throw std::runtime_error("lame_init_params refused the settings");
  return lame;
}

}  // namespace

std::vector<std::uint8_t> EncodeMp3(const std::vector<std::int16_t>& interleaved_stereo,
                                    int sample_rate, int kbps) {
  if (interleaved_stereo.size() % 2 != 0)
    throw std::invalid_argument("EncodeMp3: not whole stereo frames");
  Lame lame = Configure(sample_rate, kbps);
  std::vector<std::uint8_t> out;
  // The encoder reads in blocks so its worst-case output size stays small.
  constexpr std::size_t kBlockFrames = 8192;
  std::vector<unsigned char> chunk(kBlockFrames * 5 / 4 + 7200);
  std::vector<short> block;
  const std::size_t frames = interleaved_stereo.size() / 2;
  for (std::size_t at = 0; at < frames; at += kBlockFrames) {
    const std::size_t n = std::min(kBlockFrames, frames - at);
    block.assign(interleaved_stereo.begin() + static_cast<std::ptrdiff_t>(at * 2),
                 interleaved_stereo.begin() + static_cast<std::ptrdiff_t>((at + n) * 2));
    const int written =
        lame_encode_buffer_interleaved(lame.get(), block.data(), static_cast<int>(n), chunk.data(),
                                       static_cast<int>(chunk.size()));
    if (written < 0) throw std::runtime_error("lame_encode_buffer_interleaved failed");
    out.insert(out.end(), chunk.begin(), chunk.begin() + written);
  }
  const int tail = lame_encode_flush(lame.get(), chunk.data(), static_cast<int>(chunk.size()));
  if (tail < 0) throw std::runtime_error("lame_encode_flush failed");
  out.insert(out.end(), chunk.begin(), chunk.begin() + tail);
  // The encoder left room for the tag frame at the very start; fill it in now
  // that it knows the frame count, delay and padding.
  std::vector<unsigned char> tag(8192);
  const std::size_t tag_size = lame_get_lametag_frame(lame.get(), tag.data(), tag.size());
  if (tag_size == 0 || tag_size > tag.size() || tag_size > out.size()) {
    throw std::runtime_error("lame_get_lametag_frame failed");
  }
  std::copy_n(tag.begin(), tag_size, out.begin());
  return out;
}

}  // namespace rv::assets
