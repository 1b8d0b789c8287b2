// The pictures in every catalogue's language: each word keeps its ink inside the rectangle
// the screens copy, at a size that stays legible, and the files differ from the Japanese ones
// only inside those rectangles (same format, size and transparent black).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "lang/catalogue.h"
#include "picture_reader.h"
#include "pictures/pictures.h"

namespace rects = rv::rects;
using rv::assets::BuildPictures;
using rv::assets::DrawnWord;
using rv::assets::PictureSet;
using rv::assets::WordChoice;
using rv::assets::testing::Pixels;

namespace {

// Below this a word is no longer easy to read on the game's 640 x 480 screen.
constexpr int kSmallestLegibleSize = 12;

std::vector<std::string> Languages() {
  std::vector<std::string> out;
  std::stringstream list(RV_LANGUAGES);
  for (std::string lang; std::getline(list, lang, ';');)
    if (!lang.empty() && lang != "ja") out.push_back(lang);
  return out;
}

const rv::Catalogue& CatalogueOf(const std::string& language) {
  static std::map<std::string, rv::Catalogue> cache;
  auto it = cache.find(language);
  if (it != cache.end()) return it->second;
  const std::filesystem::path path =
      std::filesystem::path(RV_LOCALE_DIR) / language / "LC_MESSAGES" / "ravolin.mo";
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string error;
  std::optional<rv::Catalogue> c = rv::Catalogue::Parse(bytes, &error);
  if (!c) throw std::runtime_error(path.string() + ": " + error);
  return cache.emplace(language, std::move(*c)).first->second;
}

// Every word, or none (kNone), in the language.
const PictureSet& SetOf(const std::string& language, int only = WordChoice::kAll) {
  static std::map<std::pair<std::string, int>, PictureSet> cache;
  auto it = cache.find({language, only});
  if (it != cache.end()) return it->second;
  return cache.emplace(std::pair{language, only}, BuildPictures({&CatalogueOf(language), only}))
      .first->second;
}

std::array<long, 3> Quantised(rv::assets::Color c) {
  return {std::lround(c.r), std::lround(c.g), std::lround(c.b)};
}

bool Inside(const rects::Rect& r, int x, int y) {
  return x >= r.x && x < r.Right() && y >= r.y && y < r.Bottom();
}

TEST(LanguagePictures, ThereIsAtLeastOneOtherLanguage) { EXPECT_FALSE(Languages().empty()); }

TEST(LanguagePictures, EveryWordHasItsTranslationAndALegibleSize) {
  for (const std::string& language : Languages()) {
    SCOPED_TRACE(language);
    const PictureSet& set = SetOf(language);
    ASSERT_FALSE(set.words.empty());
    for (const DrawnWord& w : set.words) {
      SCOPED_TRACE(w.japanese);
      EXPECT_TRUE(CatalogueOf(language).Has(w.japanese));
      EXPECT_TRUE(rects::FileOf(w.owner.picture).words);
      if (!w.drawn) continue;
      EXPECT_GE(w.size, kSmallestLegibleSize) << w.text;
      if (w.size < w.asked_size)
        std::printf("%s: \"%s\" drawn at %d px%s (asked %d)\n", language.c_str(), w.text.c_str(),
                    w.size, w.condensed ? " condensed" : "", w.asked_size);
    }
  }
}

// Each word drawn alone against the pictures without any: every pixel it changes lies inside
// the rectangle the screens copy for it, so no stroke is cut off or leaks into a neighbour.
TEST(LanguagePictures, EachWordKeepsItsInkInsideItsRectangle) {
  for (const std::string& language : Languages()) {
    SCOPED_TRACE(language);
    const PictureSet& none = SetOf(language, WordChoice::kNone);
    const std::size_t count = SetOf(language).words.size();
    for (std::size_t k = 0; k < count; ++k) {
      const DrawnWord& w = SetOf(language).words[k];
      SCOPED_TRACE(w.text);
      // Built for this word alone and dropped after it.
      const PictureSet one = BuildPictures({&CatalogueOf(language), static_cast<int>(k)});
      int inside = 0, outside = 0;
      for (const rects::PictureFile& f : rects::kPictureFiles) {
        const rv::assets::Image& a = one.Of(f.surface);
        const rv::assets::Image& b = none.Of(f.surface);
        for (int y = 0; y < a.Height(); ++y)
          for (int x = 0; x < a.Width(); ++x) {
            if (Quantised(a.At(x, y)) == Quantised(b.At(x, y))) continue;
            if (f.surface == w.owner.picture && Inside(w.owner, x, y))
              ++inside;
            else
              ++outside;
          }
      }
      EXPECT_EQ(outside, 0) << "pixels of the word outside its rectangle";
      if (w.drawn) {
        EXPECT_GT(inside, 20) << "the word left no ink";
      }
    }
  }
}

bool SameFormat(const std::filesystem::path& a, const std::filesystem::path& b, bool png) {
  if (png) {
    const auto x = rv::assets::testing::ReadPng(a), y = rv::assets::testing::ReadPng(b);
    return x.ok && y.ok && x.bit_depth == y.bit_depth && x.color_type == y.color_type;
  }
  const auto x = rv::assets::testing::ReadBmp(a), y = rv::assets::testing::ReadBmp(b);
  return x.ok && y.ok && x.bits == y.bits && x.compression == y.compression &&
         x.bottom_up == y.bottom_up;
}

Pixels Read(const std::filesystem::path& path, bool png) {
  return png ? rv::assets::testing::ReadPng(path).pixels
             : rv::assets::testing::ReadBmp(path).pixels;
}

// The difficulty's names stand one at a time in the same place of the selection screen:
// each is drawn at the size of the others, so that none looks smaller when chosen.
TEST(LanguagePictures, TheDifficultysNamesShareTheirSize) {
  const std::vector<std::string> names = {"初級", "中級", "上級 ― 最強のCPUに挑め！"};
  for (const std::string& language : Languages()) {
    std::map<std::string, int> sizes;
    for (const DrawnWord& w : SetOf(language).words)
      if (w.drawn && std::count(names.begin(), names.end(), w.japanese)) sizes[w.japanese] = w.size;
    ASSERT_EQ(sizes.size(), names.size()) << language;
    for (const auto& [japanese, size] : sizes)
      EXPECT_EQ(size, sizes.begin()->second) << language << ": " << japanese;
  }
}

TEST(LanguagePictures, FilesMatchTheJapaneseOutsideTheWordsWithTheSameKeyColour) {
  const std::filesystem::path& folder = rv::assets::testing::GeneratedFolder();
  for (const std::string& language : Languages()) {
    SCOPED_TRACE(language);
    const PictureSet& set = SetOf(language);
    ASSERT_TRUE(rv::assets::WriteLanguagePictures(set, folder, language));
    for (const rects::PictureFile& f : rects::kPictureFiles) {
      SCOPED_TRACE(f.name);
      const std::filesystem::path ja = folder / "Picture" / (std::string(f.name) + ".dat");
      const std::filesystem::path own =
          folder / "Picture" / language / (std::string(f.name) + ".dat");
      // A picture without words is shared: no copy of it.
      ASSERT_EQ(std::filesystem::exists(own), f.words);
      if (!f.words) continue;
      ASSERT_TRUE(SameFormat(ja, own, f.png));
      const Pixels a = Read(ja, f.png), b = Read(own, f.png);
      ASSERT_EQ(b.w, f.width);
      ASSERT_EQ(b.h, f.height);
      ASSERT_EQ(a.w, b.w);
      ASSERT_EQ(a.h, b.h);
      std::vector<rects::Rect> owners;
      for (const DrawnWord& w : set.words)
        if (w.owner.picture == f.surface) owners.push_back(w.owner);
      int differ_outside = 0, differ_inside = 0, key_lost = 0;
      for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x) {
          bool inside = false;
          for (const rects::Rect& r : owners) inside = inside || Inside(r, x, y);
          if (!inside) {
            differ_outside += a.At(x, y) != b.At(x, y);
            continue;
          }
          differ_inside += a.At(x, y) != b.At(x, y);
        }
      // The ground of every word's rectangle: where the Japanese shows the transparent
      // black at the rectangle's edge, so does the language's.
      for (const rects::Rect& r : owners) {
        for (int x = r.x; x < r.Right(); ++x)
          for (int y : {r.y, r.Bottom() - 1}) key_lost += a.IsBlack(x, y) && !b.IsBlack(x, y);
        for (int y = r.y; y < r.Bottom(); ++y)
          for (int x : {r.x, r.Right() - 1}) key_lost += a.IsBlack(x, y) && !b.IsBlack(x, y);
      }
      EXPECT_EQ(differ_outside, 0);
      EXPECT_GT(differ_inside, 0) << "the words were not drawn in the language";
      EXPECT_EQ(key_lost, 0);
    }
  }
}

// The round's word is colour-keyed: no exact black inside its ink (the board would show
// through) and nothing half-transparent around it.
TEST(LanguagePictures, TheRoundWordHasNoHolesInItsInk) {
  for (const std::string& language : Languages()) {
    SCOPED_TRACE(language);
    const rv::assets::Image& img = SetOf(language).Of(rects::Picture::kCounter);
    const rects::Rect r = rects::kRoundWord;
    auto black = [&](int x, int y) { return Quantised(img.At(x, y)) == std::array<long, 3>{}; };
    int ink = 0;
    for (int y = r.y + 1; y < r.Bottom() - 1; ++y)
      for (int x = r.x + 1; x < r.Right() - 1; ++x) {
        if (!black(x, y)) {
          ++ink;
          continue;
        }
        const int around =
            !black(x - 1, y) + !black(x + 1, y) + !black(x, y - 1) + !black(x, y + 1);
        EXPECT_LT(around, 4) << "black hole in the ink at " << x << "," << y;
      }
    EXPECT_GT(ink, 800);
  }
}

}  // namespace
