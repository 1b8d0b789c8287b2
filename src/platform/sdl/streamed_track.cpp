#include "platform/sdl/streamed_track.h"

#include <fcntl.h>
#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "storage/stored_file.h"

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

// The compressed file is read through a stdio buffer of kReadBytes (1.6 s of a 160 kbit/s
// track): the decoder asks for a few hundred bytes per MP3 frame, which would otherwise be
// a read of the file for each.
constexpr size_t kReadBytes = 32 * 1024;

mpg123_ssize_t ReadFile(void* handle, void* out, size_t bytes) {
  FILE* file = static_cast<FILE*>(handle);
  const size_t got = std::fread(out, 1, bytes, file);
  return got == 0 && std::ferror(file) ? -1 : mpg123_ssize_t(got);
}

off_t SeekFile(void* handle, off_t offset, int whence) {
  FILE* file = static_cast<FILE*>(handle);
  return fseeko(file, offset, whence) == 0 ? ftello(file) : off_t(-1);
}

void CloseFile(void* handle) { std::fclose(static_cast<FILE*>(handle)); }

// Opens a regular file for buffered reading; a FIFO or device in place of a track is
// refused rather than waited on.
FILE* OpenRegularFile(const std::filesystem::path& path, std::string* error) {
  const StoredFileOpen opened = OpenStoredFile(path, O_RDONLY);
  if (!opened.ok()) {
    SetError(error, opened.Reason());
    return nullptr;
  }
  FILE* file = fdopen(opened.fd, "rb");
  if (file == nullptr) {
    SetError(error, std::strerror(errno));
    ::close(opened.fd);
    return nullptr;
  }
  std::setvbuf(file, nullptr, _IOFBF, kReadBytes);
  return file;
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
  if (mpg123_replace_reader_handle(handle, &ReadFile, &SeekFile, &CloseFile) != MPG123_OK) {
    SetError(error, mpg123_strerror(handle));
    return nullptr;
  }
  FILE* input = OpenRegularFile(file, error);
  if (input == nullptr) return nullptr;
  // From here the decoder owns the file and closes it (CloseFile) with the track.
  if (mpg123_open_handle(handle, input) != MPG123_OK) {
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
  size_t written = 0;
  while (written < frames) {
    if (Buffered() == 0 && !Refill()) break;
    const size_t n = std::min(frames - written, Buffered());
    std::memcpy(out + written * kChannels, ahead_.get() + ahead_begin_ * kChannels,
                n * kFrameBytes);
    ahead_begin_ += n;
    written += n;
  }
  return written;
}

bool StreamedTrack::Refill() {
  ahead_begin_ = ahead_end_ = 0;
  if (ended_ || !error_.empty()) return false;
  if (!ahead_) ahead_ = std::make_unique_for_overwrite<int16_t[]>(kAheadFrames * kChannels);
  auto* bytes = reinterpret_cast<unsigned char*>(ahead_.get());
  const size_t wanted = kAheadFrames * kFrameBytes;
  size_t filled = 0;
  while (filled < wanted && !ended_ && error_.empty()) {
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
  ahead_end_ = filled / kFrameBytes;
  return ahead_end_ > 0;
}

bool StreamedTrack::Rewind() {
  if (mpg123_seek(handle_, 0, SEEK_SET) < 0) {
    error_ = mpg123_strerror(handle_);
    if (error_.empty()) error_ = "cannot go back to the start";
    ahead_begin_ = ahead_end_ = 0;
    return false;
  }
  ended_ = false;
  ahead_begin_ = ahead_end_ = 0;
  return true;
}

}  // namespace rv
