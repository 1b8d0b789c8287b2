// The real decoder module: what it hands over, and that no file breaks it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <png.h>

#include "game/gfx/png_module.h"
#include "test_support.h"

namespace rv {
namespace {

uint32_t Gray(uint32_t c) {
  uint32_t g = (c >> 8) & 0xFF;
  return g * 0x010101u;
}

class MpngTest : public ::testing::Test {
 protected:
  Surface Decode(const std::vector<uint8_t>& file) {
    test::WriteFile(dir.path() / "p.dat", file);
    return module.LoadPNG(dir.path() / "p.dat");
  }
  test::TempFolder dir{"gfx", test::TempPlace::kMemory};
  PngModule module{RV_MPNG_PATH};
};

TEST_F(MpngTest, DecodesEveryColourTypeToTheSamePixels) {
  const Surface picture = test::PatternSurface(37, 23, 51);  // odd sizes, many colours
  struct Case {
    int type, depth;
    bool interlaced;
    bool gray;
  };
  for (const Case& c :
       {Case{PNG_COLOR_TYPE_RGB, 8, false, false}, Case{PNG_COLOR_TYPE_RGB, 8, true, false},
        Case{PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false}, Case{PNG_COLOR_TYPE_RGB, 16, false, false},
        Case{PNG_COLOR_TYPE_GRAY, 8, false, true},
        Case{PNG_COLOR_TYPE_GRAY_ALPHA, 16, true, true}}) {
    Surface s = Decode(test::MakePng(picture, c.type, c.depth, c.interlaced));
    ASSERT_EQ(s.width(), 37);
    ASSERT_EQ(s.height(), 23);
    for (int y = 0; y < 23; ++y) {
      for (int x = 0; x < 37; ++x) {
        uint32_t want = c.gray ? Gray(picture.Pixel(x, y)) : picture.Pixel(x, y);
        ASSERT_EQ(s.Pixel(x, y), want) << c.type << "/" << c.depth << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(MpngTest, DecodesAPalettePicture) {
  Surface picture(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) picture.SetPixel(x, y, (x < 8) == (y < 8) ? 0x2040E0u : 0xE04020u);
  Surface s = Decode(test::MakePng(picture, PNG_COLOR_TYPE_PALETTE, 8, false));
  ASSERT_EQ(s.width(), 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(s.Pixel(x, y), picture.Pixel(x, y));
}

TEST_F(MpngTest, InformationBlockDescribesABottomUp32BitBitmap) {
  void* lib = dlopen(RV_MPNG_PATH, RTLD_NOW);
  ASSERT_NE(lib, nullptr);
  auto load = reinterpret_cast<int32_t (*)(const char*, uint32_t*, void*, int32_t*)>(
      dlsym(lib, "mLoadPNG"));
  auto data = reinterpret_cast<int32_t (*)(uint32_t*, uint8_t*)>(dlsym(lib, "mGetPNGData"));
  auto end = reinterpret_cast<int32_t (*)(uint32_t*)>(dlsym(lib, "mEndPNG"));
  ASSERT_TRUE(load && data && end);
  const Surface picture = test::PatternSurface(5, 3, 52);
  test::WriteFile(dir.path() / "q.dat", test::MakePng(picture, PNG_COLOR_TYPE_RGB, 8, false));
  uint32_t handle = 0;
  std::vector<uint8_t> info(kBitmapInfoSize, 0);
  int32_t count = -1;
  ASSERT_EQ(load((dir.path() / "q.dat").c_str(), &handle, info.data(), &count), 1);
  auto u32 = [&](size_t at) {
    return info[at] | (info[at + 1] << 8) | (info[at + 2] << 16) | (uint32_t{info[at + 3]} << 24);
  };
  EXPECT_EQ(u32(0), 40u);
  EXPECT_EQ(u32(4), 5u);
  EXPECT_EQ(u32(8), 3u);  // positive: bottom-up
  EXPECT_EQ(info[12], 1);
  EXPECT_EQ(info[14], 32);
  EXPECT_EQ(u32(16), 0u);
  EXPECT_EQ(count, 5 * 4 * 3);
  std::vector<uint8_t> buffer(count);
  ASSERT_EQ(data(&handle, buffer.data()), 1);
  // The first row in the buffer is the bottom row of the picture, in B, G, R order.
  uint32_t c = picture.Pixel(0, 2);
  EXPECT_EQ(buffer[0], c & 0xFF);
  EXPECT_EQ(buffer[1], (c >> 8) & 0xFF);
  EXPECT_EQ(buffer[2], (c >> 16) & 0xFF);
  EXPECT_EQ(end(&handle), 1);
  EXPECT_EQ(data(&handle, buffer.data()), 0);  // the handle is gone
  EXPECT_EQ(end(&handle), 0);
  EXPECT_EQ(load((dir.path() / "missing.dat").c_str(), &handle, info.data(), &count), 0);
  EXPECT_EQ(load(nullptr, &handle, info.data(), &count), 0);
  dlclose(lib);
}

TEST_F(MpngTest, TruncatedFilesNeverCrash) {
  const std::vector<uint8_t> file =
      test::MakePng(test::PatternSurface(24, 12, 53), PNG_COLOR_TYPE_RGB, 8, false);
  for (size_t n = 0; n < file.size(); ++n) {
    Surface s = Decode(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(n)));
    EXPECT_TRUE(s.empty()) << "truncated to " << n;
  }
}

TEST_F(MpngTest, CorruptFilesNeverCrash) {
  const std::vector<uint8_t> file =
      test::MakePng(test::PatternSurface(20, 10, 54), PNG_COLOR_TYPE_RGB_ALPHA, 8, true);
  int decoded = 0;
  for (size_t at = 0; at < file.size(); ++at) {
    for (uint8_t flip : {0x01, 0x80, 0xFF}) {
      std::vector<uint8_t> bad = file;
      bad[at] ^= flip;
      Surface s = Decode(bad);
      if (!s.empty()) {
        ++decoded;
        EXPECT_LE(s.width() * s.height(), 16384 * 16384);
      }
    }
  }
  // Flips in the parts libpng does not check (ancillary CRCs) may still decode.
  EXPECT_LT(decoded, static_cast<int>(file.size()) * 3);
  EXPECT_TRUE(Decode({}).empty());
  EXPECT_TRUE(module.LoadPNG(dir.path()).empty());  // a folder
}

}  // namespace
}  // namespace rv
