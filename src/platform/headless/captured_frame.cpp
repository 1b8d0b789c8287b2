#include "platform/headless/captured_frame.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace rv {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

uint32_t CapturedFrame::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  return pixels[static_cast<size_t>(y) * width + x];
}

// libpng reports errors by longjmp, so nothing with a destructor may live between the
// setjmp and the end of the writing; the rows are converted before it.
bool SavePng(const CapturedFrame& frame, const std::filesystem::path& file) {
  if (frame.width <= 0 || frame.height <= 0 ||
      frame.pixels.size() != static_cast<size_t>(frame.width) * frame.height) {
    return false;
  }
  std::vector<png_byte> rgb(static_cast<size_t>(frame.width) * frame.height * 3);
  for (size_t i = 0; i < frame.pixels.size(); ++i) {
    rgb[i * 3 + 0] = static_cast<png_byte>(frame.pixels[i] >> 16);
    rgb[i * 3 + 1] = static_cast<png_byte>(frame.pixels[i] >> 8);
    rgb[i * 3 + 2] = static_cast<png_byte>(frame.pixels[i]);
  }
  std::vector<png_bytep> rows(frame.height);
  for (int y = 0; y < frame.height; ++y) rows[y] = &rgb[static_cast<size_t>(y) * frame.width * 3];

  FilePtr out(std::fopen(file.c_str(), "wb"));
  if (!out) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, out.get());
  png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fflush(out.get()) == 0;
}

bool LoadPng(const std::filesystem::path& file, CapturedFrame& frame) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  frame.width = static_cast<int>(image.width);
  frame.height = static_cast<int>(image.height);
  frame.pixels.resize(static_cast<size_t>(frame.width) * frame.height);
  for (size_t i = 0; i < frame.pixels.size(); ++i) {
    frame.pixels[i] =
        (uint32_t{rgb[i * 3]} << 16) | (uint32_t{rgb[i * 3 + 1]} << 8) | rgb[i * 3 + 2];
  }
  return true;
}

}  // namespace rv
