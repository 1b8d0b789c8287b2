// The PNG decoder module: a shared library of our own over libpng, bound by the game at run
// time. It hands each picture over as a device-independent bitmap: a 40-byte
// BITMAPINFOHEADER-layout header in a 1064-byte block, and 32-bit BGRA rows, bottom-up,
// padded to 4 bytes (32-bit rows need no padding). Every entry point returns 1 on success;
// corrupt or truncated files return 0 and never crash.

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

constexpr uint32_t kMaxSide = 16384;

struct Decoded {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t* bgra = nullptr;  // top-down, width * 4 bytes a row; malloc'd
};

// The open handles. The module is a separate shared object with C entry points that pass
// only a 32-bit handle, so the decoded pictures have to live here between the calls; the
// game is single-threaded and calls the three functions in order.
std::map<uint32_t, Decoded>& Handles() {
  static std::map<uint32_t, Decoded> handles;
  return handles;
}
uint32_t& NextHandle() {
  static uint32_t next = 1;
  return next;
}

void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void OnWarning(png_structp, png_const_charp) {}
void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Decodes the whole file to BGRA. Only plain data lives across setjmp: a longjmp skips no
// destructor, and what was allocated is freed on the error path.
bool DecodeFile(std::FILE* file, Decoded* out) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  uint8_t* volatile pixels = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    std::free(pixels);
    std::free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);
  png_set_expand(png);  // palette and low-bit grey to 8-bit, tRNS to alpha
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // BGRA, opaque where the file has no alpha
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const uint32_t width = png_get_image_width(png, info);
  const uint32_t height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
      png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) {
    png_longjmp(png, 1);
  }
  pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * height * 4));
  rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (pixels == nullptr || rows == nullptr) png_longjmp(png, 1);
  for (uint32_t y = 0; y < height; ++y) rows[y] = pixels + static_cast<size_t>(y) * width * 4;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  std::free(rows);
  png_destroy_read_struct(&png, &info, nullptr);
  out->width = width;
  out->height = height;
  out->bgra = pixels;
  return true;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t mLoadPNG(const char* path, uint32_t* handle,
                                                        void* info1064, int32_t* byte_count) {
  if (path == nullptr || handle == nullptr || info1064 == nullptr || byte_count == nullptr) {
    return 0;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return 0;
  Decoded decoded;
  bool ok = DecodeFile(file, &decoded);
  std::fclose(file);
  if (!ok) return 0;
  const uint64_t bytes = static_cast<uint64_t>(decoded.width) * decoded.height * 4;
  if (bytes > INT32_MAX) {
    std::free(decoded.bgra);
    return 0;
  }
  auto* info = static_cast<uint8_t*>(info1064);
  std::memset(info, 0, 1064);
  PutU32(info + 0, 40);                             // biSize
  PutU32(info + 4, decoded.width);                  // biWidth
  PutU32(info + 8, decoded.height);                 // biHeight > 0: bottom-up
  PutU16(info + 12, 1);                             // biPlanes
  PutU16(info + 14, 32);                            // biBitCount
  PutU32(info + 16, 0);                             // biCompression: BI_RGB
  PutU32(info + 20, static_cast<uint32_t>(bytes));  // biSizeImage
  uint32_t id = NextHandle()++;
  if (id == 0) id = NextHandle()++;  // 0 is never a handle
  Handles()[id] = decoded;
  *handle = id;
  *byte_count = static_cast<int32_t>(bytes);
  return 1;
}

__attribute__((visibility("default"))) int32_t mGetPNGData(uint32_t* handle, uint8_t* buffer) {
  if (handle == nullptr || buffer == nullptr) return 0;
  auto it = Handles().find(*handle);
  if (it == Handles().end()) return 0;
  const Decoded& d = it->second;
  const size_t stride = static_cast<size_t>(d.width) * 4;
  for (uint32_t y = 0; y < d.height; ++y) {
    std::memcpy(buffer + stride * (d.height - 1 - y), d.bgra + stride * y, stride);
  }
  return 1;
}

__attribute__((visibility("default"))) int32_t mEndPNG(uint32_t* handle) {
  if (handle == nullptr) return 0;
  auto it = Handles().find(*handle);
  if (it == Handles().end()) return 0;
  std::free(it->second.bgra);
  Handles().erase(it);
  return 1;
}

}  // extern "C"
