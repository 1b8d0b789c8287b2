#include "platform/sdl/streamed_track.h"

#include <mpg123.h>

#include <cstdio>

namespace rv {
namespace {

constexpr size_t kFrameBytes = StreamedTrack::kChannels * sizeof(int16_t);

// Older libraries need this once per process; newer ones ignore it.
bool LibraryReady() {
  static const bool ready = mpg123_init() == MPG123_OK;
  return ready;
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

}  // namespace

std::unique_ptr<StreamedTrack> StreamedTrack::Open(const std::filesystem::path& file, int rate,
                                                   std::string* error) {
  if (!LibraryReady()) {
    SetError(error, "the MP3 decoder cannot start");
    return nullptr;
  }
  int code = MPG123_OK;
  mpg123_handle* handle = mpg123_new(nullptr, &code);
  if (handle == nullptr) {
    SetError(error, mpg123_plain_strerror(code));
    return nullptr;
  }
  std::unique_ptr<StreamedTrack> track(new StreamedTrack(handle));
  // Our own line on stderr says what went wrong; the library's notes would only repeat it.
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
  long flags = 0;
  double unused = 0.0;
  mpg123_getparam(handle, MPG123_FLAGS, &flags, &unused);
  track->gapless_ = (flags & MPG123_GAPLESS) != 0;
  // One output format for every track: what the mixer plays.
  if (mpg123_format_none(handle) != MPG123_OK ||
      mpg123_format(handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) {
    SetError(error, "the MP3 decoder cannot give " + std::to_string(rate) + " Hz stereo");
    return nullptr;
  }
  if (mpg123_open(handle, file.c_str()) != MPG123_OK) {
    SetError(error, mpg123_strerror(handle));
    return nullptr;
  }
  // Reads up to the first frame header: a file with no MPEG audio in it fails here.
  long file_rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(handle, &file_rate, &channels, &encoding) != MPG123_OK) {
    SetError(error, mpg123_strerror(handle));
    return nullptr;
  }
  const off_t length = mpg123_length(handle);
  if (length > 0) track->length_ = size_t(length);
  return track;
}

StreamedTrack::~StreamedTrack() {
  mpg123_close(handle_);
  mpg123_delete(handle_);
}

size_t StreamedTrack::Read(int16_t* out, size_t frames) {
  auto* bytes = reinterpret_cast<unsigned char*>(out);
  const size_t wanted = frames * kFrameBytes;
  size_t filled = 0;
  while (filled < wanted && !ended_ && !failed()) {
    size_t done = 0;
    const int code = mpg123_read(handle_, bytes + filled, wanted - filled, &done);
    filled += done;
    if (code == MPG123_DONE) {
      ended_ = true;
    } else if (code == MPG123_NEW_FORMAT) {
      // Only one format is allowed, so this is the same format announced again: go on.
    } else if (code != MPG123_OK) {
      error_ = mpg123_strerror(handle_);
      if (error_.empty()) error_ = "decoding failed";
    } else if (done == 0) {
      error_ = "the decoder makes no progress";
    }
  }
  // Whole frames only: the format is fixed, so a partial frame cannot happen; guard anyway.
  return filled / kFrameBytes;
}

bool StreamedTrack::Rewind() {
  if (mpg123_seek(handle_, 0, SEEK_SET) < 0) {
    error_ = mpg123_strerror(handle_);
    if (error_.empty()) error_ = "cannot go back to the start";
    return false;
  }
  ended_ = false;
  return true;
}

}  // namespace rv
