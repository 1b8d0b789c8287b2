// The picture set, LoadSurface's numbering and paths, the BMP reader, DibToPicture's checks,
// and the decoder contract with stand-in modules.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "game/gfx/bitmap_decoder.h"
#include "game/gfx/numbered_word.h"
#include "game/gfx/picture_set.h"
#include "game/gfx/png_module.h"
#include "test_support.h"

namespace rv {
namespace {

bool SamePixels(const Surface& a, const Surface& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  return std::equal(a.data(), a.data() + static_cast<size_t>(a.width()) * a.height(), b.data());
}

// The counters of a stand-in module, reached through the same loaded object the game uses.
class StubProbe {
 public:
  explicit StubProbe(const char* path) : handle_(dlopen(path, RTLD_NOW)) {}
  ~StubProbe() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  int Count(const char* name) { return reinterpret_cast<int (*)()>(dlsym(handle_, name))(); }
  std::string LastPath() {
    return reinterpret_cast<const char* (*)()>(dlsym(handle_, "stub_last_path"))();
  }
  void Reset() { reinterpret_cast<void (*)()>(dlsym(handle_, "stub_reset"))(); }
  bool ok() const { return handle_ != nullptr; }

 private:
  void* handle_;
};

TEST(PictureSetTest, NumbersMapToTheirSurfacesAndPicMemoryIsReady) {
  PictureSet set;
  Surface* expected[] = {&set.PicChip,   &set.Screen,   &set.PicTitle, &set.PicLogo,
                         &set.Picmenu,   &set.PicBack,  &set.PicOther, &set.PicCounter,
                         &set.PicWindow, &set.PicCursor};
  for (int16_t n = 0; n < 10; ++n) EXPECT_EQ(set.ByNumber(n), expected[n]) << n;
  EXPECT_EQ(set.ByNumber(10), nullptr);
  EXPECT_EQ(set.ByNumber(-1), nullptr);
  EXPECT_EQ(set.PicMemory.width(), 640);
  EXPECT_EQ(set.PicMemory.height(), 480);
  EXPECT_EQ(set.PicMemory.text().font_px, 21);
}

class LoadSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(probe.ok());
    probe.Reset();
    for (int n = 1; n <= 10; ++n) {
      pictures_on_disk[n] = test::PatternSurface(20 + n, 10 + n, n);
      test::WriteFile(Path(n), test::MakeBmp(pictures_on_disk[n], 24, false));
    }
  }
  std::filesystem::path Path(int n) {
    return dir.path() / "Picture" / ("pic" + std::to_string(n) + ".dat");
  }

  test::TempFolder dir{"gfx", test::TempPlace::kMemory};
  StubProbe probe{RV_STUB_OK};
  PictureLoader loader{dir.path(), RV_STUB_OK};
  PictureSet set;
  Surface pictures_on_disk[11];
};

TEST_F(LoadSurfaceTest, GeneralLoaderNumbersReadTheirBmpFiles) {
  // Start-up order, then the match background.
  const std::pair<int16_t, int> general[] = {{4, 5}, {5, 6}, {6, 7}, {8, 9}, {9, 10}, {1, 1}};
  for (auto [number, file] : general) {
    LoadResult r = loader.LoadSurface(set, number, "pic" + std::to_string(file));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(SamePixels(*set.ByNumber(number), pictures_on_disk[file])) << number;
  }
  EXPECT_EQ(probe.Count("stub_load_calls"), 0);  // none of these went to the decoder
}

TEST_F(LoadSurfaceTest, PngNumbersGoThroughTheDecoderWithTheFolderPath) {
  for (auto [number, file] : {std::pair<int16_t, int>{2, 2}, {0, 3}, {3, 4}, {7, 8}}) {
    probe.Reset();
    LoadResult r = loader.LoadSurface(set, number, "pic" + std::to_string(file));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(probe.Count("stub_load_calls"), 1);
    EXPECT_EQ(probe.LastPath(), Path(file).string());
    EXPECT_EQ(probe.Count("stub_end_calls"), 1);
    // The stand-in's 2 x 1 picture: blue, red.
    const Surface& s = *set.ByNumber(number);
    ASSERT_EQ(s.width(), 2);
    ASSERT_EQ(s.height(), 1);
    EXPECT_EQ(s.Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(s.Pixel(1, 0), 0xFF0000u);
  }
}

TEST_F(LoadSurfaceTest, NumbersOutsideZeroToNineChangeNothing) {
  set.Screen = test::PatternSurface(8, 8, 99);
  const Surface before = set.Screen;
  for (int16_t n : {10, -1, 11, 32767, -32768}) {
    EXPECT_TRUE(loader.LoadSurface(set, n, "pic1").ok);
  }
  EXPECT_TRUE(SamePixels(set.Screen, before));
  for (int16_t n = 0; n < 10; ++n) {
    if (n != 1) {
      EXPECT_TRUE(set.ByNumber(n)->empty()) << n;
    }
  }
  EXPECT_EQ(probe.Count("stub_load_calls"), 0);
}

TEST_F(LoadSurfaceTest, LoadingAgainReplacesThePicture) {
  ASSERT_TRUE(loader.LoadSurface(set, 1, "pic1").ok);
  ASSERT_TRUE(loader.LoadSurface(set, 1, "pic6").ok);
  EXPECT_TRUE(SamePixels(set.Screen, pictures_on_disk[6]));
}

TEST_F(LoadSurfaceTest, UnreadableGeneralPictureIsAnErrorNamingTheFileAndKeepsTheSurface) {
  ASSERT_TRUE(loader.LoadSurface(set, 5, "pic6").ok);
  test::WriteFile(Path(6), {'B', 'M', 0, 1, 2});
  LoadResult r = loader.LoadSurface(set, 5, "pic6");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(Path(6).string()), std::string::npos);
  EXPECT_TRUE(SamePixels(set.PicBack, pictures_on_disk[6]));
  LoadResult missing = loader.LoadSurface(set, 4, "nothing_here");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("nothing_here.dat"), std::string::npos);
}

TEST(BmpReader, ReadsEveryDepthAndRowOrder) {
  const Surface picture = test::PatternSurface(13, 7, 41);  // 13: rows need padding
  for (int bits : {24, 32}) {
    for (bool top_down : {false, true}) {
      std::vector<uint8_t> file = test::MakeBmp(picture, bits, top_down);
      EXPECT_TRUE(SamePixels(ReadBmp(file.data(), file.size()), picture)) << bits << top_down;
    }
  }
  Surface few(9, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) few.SetPixel(x, y, 0x102030u * static_cast<uint32_t>((x * y) % 5));
  std::vector<uint8_t> file = test::MakeBmp(few, 8, false);
  EXPECT_TRUE(SamePixels(ReadBmp(file.data(), file.size()), few));
}

TEST(BmpReader, EveryTruncationAndCorruptHeaderIsRefusedOrHarmless) {
  const Surface picture = test::PatternSurface(11, 6, 42);
  const std::vector<uint8_t> file = test::MakeBmp(picture, 24, false);
  for (size_t n = 0; n < file.size(); ++n) {
    EXPECT_TRUE(ReadBmp(file.data(), n).empty()) << n;  // any shortened file
  }
  for (size_t at = 0; at < 54; ++at) {
    for (uint8_t v : {0x00, 0x7F, 0x80, 0xFF}) {
      std::vector<uint8_t> bad = file;
      bad[at] = v;
      Surface s = ReadBmp(bad.data(), bad.size());
      if (!s.empty()) {
        EXPECT_LE(static_cast<size_t>(s.width()) * s.height() * 3, bad.size());
      }
    }
  }
}

// An information block for DibToPicture.
std::vector<uint8_t> Header(int32_t w, int32_t h, uint16_t bits, uint32_t compression = 0) {
  std::vector<uint8_t> info(kBitmapInfoSize, 0);
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) info[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put(0, 40), put(4, static_cast<uint32_t>(w)), put(8, static_cast<uint32_t>(h));
  info[12] = 1;
  info[14] = static_cast<uint8_t>(bits);
  put(16, compression);
  return info;
}

TEST(DibToPictureTest, RowOrderPaddingAndDepths) {
  // 3 x 2, 24-bit: rows of 9 bytes padded to 12.
  const uint8_t bottom_up[24] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,   // lower row
                                 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};  // upper row
  Surface s = DibToPicture(bottom_up, 24, Header(3, 2, 24).data());
  ASSERT_EQ(s.width(), 3);
  ASSERT_EQ(s.height(), 2);
  EXPECT_EQ(s.Pixel(0, 0), 0x0C0B0Au);
  EXPECT_EQ(s.Pixel(2, 0), 0x121110u);
  EXPECT_EQ(s.Pixel(0, 1), 0x030201u);
  Surface top_down = DibToPicture(bottom_up, 24, Header(3, -2, 24).data());
  EXPECT_EQ(top_down.Pixel(0, 0), 0x030201u);
  // 32-bit: the fourth byte is ignored.
  const uint8_t bgra[8] = {1, 2, 3, 0xEE, 4, 5, 6, 0x00};
  Surface s32 = DibToPicture(bgra, 8, Header(2, 1, 32).data());
  EXPECT_EQ(s32.Pixel(0, 0), 0x030201u);
  EXPECT_EQ(s32.Pixel(1, 0), 0x060504u);
  // 8-bit through the colour entries; an index past the used entries is black.
  std::vector<uint8_t> info = Header(3, 1, 8);
  info[32] = 2;  // two colours used
  const uint8_t entries[8] = {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0};
  std::memcpy(&info[40], entries, 8);
  const uint8_t indexes[4] = {1, 0, 7, 0};
  Surface s8 = DibToPicture(indexes, 4, info.data());
  EXPECT_EQ(s8.Pixel(0, 0), 0x605040u);
  EXPECT_EQ(s8.Pixel(1, 0), 0x302010u);
  EXPECT_EQ(s8.Pixel(2, 0), 0u);
}

TEST(DibToPictureTest, NeverTrustsTheHeader) {
  std::vector<uint8_t> pixels(4096, 0x55);
  const int64_t n = static_cast<int64_t>(pixels.size());
  EXPECT_TRUE(DibToPicture(pixels.data(), 23, Header(3, 2, 24).data()).empty());  // short
  EXPECT_TRUE(DibToPicture(pixels.data(), -1, Header(1, 1, 24).data()).empty());
  EXPECT_TRUE(DibToPicture(pixels.data(), n, Header(0, 2, 24).data()).empty());
  EXPECT_TRUE(DibToPicture(pixels.data(), n, Header(-3, 2, 24).data()).empty());
  EXPECT_TRUE(DibToPicture(pixels.data(), n, Header(3, 0, 24).data()).empty());
  EXPECT_TRUE(DibToPicture(pixels.data(), n, Header(3, 2, 16).data()).empty());
  EXPECT_TRUE(DibToPicture(pixels.data(), n, Header(3, 2, 1).data()).empty());
  EXPECT_TRUE(DibToPicture(pixels.data(), n, Header(3, 2, 24, 1).data()).empty());  // RLE
  EXPECT_TRUE(DibToPicture(pixels.data(), n, Header(0x7FFFFFFF, 1, 32).data()).empty());
  EXPECT_TRUE(DibToPicture(pixels.data(), n, Header(1, INT32_MIN, 32).data()).empty());
  std::vector<uint8_t> too_many_colours = Header(2, 2, 8);
  too_many_colours[32] = 0x01, too_many_colours[33] = 0x01;  // 257
  EXPECT_TRUE(DibToPicture(pixels.data(), n, too_many_colours.data()).empty());
  std::vector<uint8_t> small_header = Header(2, 2, 24);
  small_header[0] = 12;
  EXPECT_TRUE(DibToPicture(pixels.data(), n, small_header.data()).empty());
  EXPECT_TRUE(DibToPicture(pixels.data(), n, Header(2, 2, 24).data(), 39).empty());
  EXPECT_TRUE(DibToPicture(nullptr, n, Header(2, 2, 24).data()).empty());
  EXPECT_FALSE(DibToPicture(pixels.data(), 16, Header(2, 2, 24).data()).empty());  // exact fit
}

// A FIFO in a picture's place would hold the game in its open until a writer came: it is
// refused at once, named in the error for the general loader, and never handed to the decoder
// module, which opens by name.
TEST_F(LoadSurfaceTest, AFifoInAPicturesPlaceIsRefusedWithoutWaiting) {
  for (auto [number, file] : {std::pair<int16_t, int>{5, 6}, {0, 3}}) {
    SCOPED_TRACE(number);
    std::filesystem::remove(Path(file));
    ASSERT_EQ(::mkfifo(Path(file).c_str(), 0644), 0);
    probe.Reset();
    ::alarm(20);  // the old open waited here for ever
    const LoadResult r = loader.LoadSurface(set, number, "pic" + std::to_string(file));
    ::alarm(0);
    EXPECT_EQ(probe.Count("stub_load_calls"), 0);
    EXPECT_TRUE(set.ByNumber(number)->empty());
    if (number == 5) {
      EXPECT_FALSE(r.ok);
      EXPECT_NE(r.error.find(Path(file).string()), std::string::npos) << r.error;
      EXPECT_NE(r.error.find("not a regular file"), std::string::npos) << r.error;
    }
  }
}

TEST(DecoderContract, FailedDataStillEndsTheHandleOnce) {
  StubProbe probe(RV_STUB_FAIL_GET);
  ASSERT_TRUE(probe.ok());
  probe.Reset();
  PngModule module(RV_STUB_FAIL_GET);
  EXPECT_TRUE(module.LoadPNG("/any/pic3.dat").empty());
  EXPECT_EQ(probe.Count("stub_load_calls"), 1);
  EXPECT_EQ(probe.Count("stub_data_calls"), 1);
  EXPECT_EQ(probe.Count("stub_end_calls"), 1);
}

TEST(DecoderContract, FailedLoadIsNeverEnded) {
  StubProbe probe(RV_STUB_FAIL_LOAD);
  ASSERT_TRUE(probe.ok());
  probe.Reset();
  PictureLoader loader("/nonexistent", RV_STUB_FAIL_LOAD);
  PictureSet set;
  set.PicChip = test::PatternSurface(4, 4, 1);
  EXPECT_TRUE(loader.LoadSurface(set, 0, "pic3").ok);  // silent: start-up goes on
  EXPECT_TRUE(set.PicChip.empty());
  EXPECT_EQ(probe.Count("stub_load_calls"), 1);
  EXPECT_EQ(probe.Count("stub_data_calls"), 0);
  EXPECT_EQ(probe.Count("stub_end_calls"), 0);
}

TEST(DecoderContract, NegativeCountIsRefusedAndTheHandleEnded) {
  StubProbe probe(RV_STUB_BAD_COUNT);
  ASSERT_TRUE(probe.ok());
  probe.Reset();
  PngModule module(RV_STUB_BAD_COUNT);
  EXPECT_TRUE(module.LoadPNG("/any/pic3.dat").empty());
  EXPECT_EQ(probe.Count("stub_data_calls"), 0);
  EXPECT_EQ(probe.Count("stub_end_calls"), 1);
}

TEST(DecoderContract, ModuleThatCannotBeBoundLeavesTheSurfaceEmpty) {
  test::TempFolder dir{"gfx", test::TempPlace::kMemory};
  PictureSet set;
  set.PicCounter = test::PatternSurface(4, 4, 2);
  PictureLoader missing(dir.path());  // no mpng.so there
  EXPECT_TRUE(missing.LoadSurface(set, 7, "pic8").ok);
  EXPECT_TRUE(set.PicCounter.empty());
  EXPECT_FALSE(missing.png().Bound());
  // Present but not a module, and a real library without the three entry points.
  test::WriteFile(dir.path() / "mpng.so", {0x7F, 'E', 'L', 'F', 0, 0});
  PictureLoader garbage(dir.path());
  set.PicCounter = test::PatternSurface(4, 4, 2);
  EXPECT_TRUE(garbage.LoadSurface(set, 7, "pic8").ok);
  EXPECT_TRUE(set.PicCounter.empty());
  PngModule no_symbols("libm.so.6");
  EXPECT_TRUE(no_symbols.LoadPNG("/any").empty());
  EXPECT_FALSE(no_symbols.Bound());
}

TEST(DecoderContract, ModuleIsBoundOnceOnFirstUse) {
  PngModule module(RV_STUB_OK);
  EXPECT_FALSE(module.Bound());  // nothing happens before the first picture
  EXPECT_FALSE(module.LoadPNG("/a").empty());
  EXPECT_TRUE(module.Bound());
  EXPECT_FALSE(module.LoadPNG("/b").empty());
  EXPECT_TRUE(module.Bound());
}

// ---- Pictures in another language ------------------------------------------------------

// The pictures that carry words, said here once more: each row is a surface number, its file,
// and whether another language brings its own copy of it.
struct WordsRow {
  int16_t number;
  int file;
  bool words;
};
constexpr WordsRow kWordsRows[] = {{0, 3, false}, {1, 1, false}, {2, 2, true}, {3, 4, false},
                                   {4, 5, true},  {5, 6, false}, {6, 7, true}, {7, 8, true},
                                   {8, 9, false}, {9, 10, false}};

TEST(PictureLanguagePath, EachPictureComesFromTheLanguagesFolderOnlyWhenItCarriesWords) {
  const std::filesystem::path folder = "/prog";
  for (const char* language : {"ja", "en", "de"}) {
    PictureLoader loader{folder, RV_STUB_OK};
    if (std::string(language) != "ja") loader.UseLanguage(language);
    for (const WordsRow& row : kWordsRows) {
      const std::string name = "pic" + std::to_string(row.file);
      const bool own = row.words && std::string(language) != "ja";
      const std::filesystem::path want = own ? folder / "Picture" / language / (name + ".dat")
                                             : folder / "Picture" / (name + ".dat");
      EXPECT_EQ(loader.PathFor(row.number, name), want) << language << " " << name;
    }
  }
}

TEST_F(LoadSurfaceTest, AnotherLanguageLoadsItsOwnPicturesWithWordsAndTheSharedRest) {
  Surface english[11];
  for (const WordsRow& row : kWordsRows) {
    if (!row.words) continue;
    english[row.file] = test::PatternSurface(30 + row.file, 12, 100 + row.file);
    test::WriteFile(dir.path() / "Picture" / "en" / ("pic" + std::to_string(row.file) + ".dat"),
                    test::MakeBmp(english[row.file], 24, false));
  }
  loader.UseLanguage("en");
  for (const WordsRow& row : kWordsRows) {
    SCOPED_TRACE(row.number);
    probe.Reset();
    const LoadResult r = loader.LoadSurface(set, row.number, "pic" + std::to_string(row.file));
    ASSERT_TRUE(r.ok) << r.error;
    const std::filesystem::path want =
        row.words ? dir.path() / "Picture" / "en" / ("pic" + std::to_string(row.file) + ".dat")
                  : Path(row.file);
    if (rects::FileOf(static_cast<rects::Picture>(row.number)).png) {
      EXPECT_EQ(probe.LastPath(), want.string());
    } else {
      const Surface& on_disk = row.words ? english[row.file] : pictures_on_disk[row.file];
      EXPECT_TRUE(SamePixels(*set.ByNumber(row.number), on_disk));
    }
  }
  // Back to Japanese: the program's own pictures again.
  loader.UseLanguage("ja");
  ASSERT_TRUE(loader.LoadSurface(set, 6, "pic7").ok);
  EXPECT_TRUE(SamePixels(set.PicOther, pictures_on_disk[7]));
}

TEST_F(LoadSurfaceTest, AMissingPictureOfTheLanguageIsAMissingFileNotTheJapaneseOne) {
  loader.UseLanguage("en");
  const LoadResult r = loader.LoadSurface(set, 6, "pic7");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find((std::filesystem::path("Picture") / "en" / "pic7.dat").string()),
            std::string::npos)
      << r.error;
  EXPECT_TRUE(set.PicOther.empty());
}

// The order of a number and its word comes from the language's pattern.
TEST(NumberedWordTest, SplitsThePatternIntoTheWordAndTheSideOfTheNumber) {
  struct Row {
    const char* pattern;
    bool ok;
    const char* word;
    bool number_first;
  };
  const Row rows[] = {
      {"%1回戦", true, "回戦", true},
      {"Round %1", true, "Round", false},
      {"%1.", true, ".", true},
      {"%1", true, "", true},
      {" %1 rounds", true, "rounds", true},
      {"第%1回", false, "", false},
      {"回戦", false, "", false},
      {"%1 and %1", false, "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pattern);
    const std::optional<NumberedWord> w = SplitNumbered(row.pattern);
    ASSERT_EQ(w.has_value(), row.ok);
    if (!w) continue;
    EXPECT_EQ(w->word, row.word);
    EXPECT_EQ(w->number_first, row.number_first);
  }
}

}  // namespace
}  // namespace rv
