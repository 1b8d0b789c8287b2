// Which language is spoken: the option over the variable over Japanese, and a language known
// only when its catalogue lies in the program folder.

#include "start/language_choice.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "support/temp_folder.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;

TEST(LanguageChoice, TheOptionWinsOverTheVariableAndJapaneseIsTheDefault) {
  struct Case {
    std::optional<std::string> option;
    const char* variable;
    const char* expected;
  };
  const Case cases[] = {
      {std::nullopt, nullptr, "ja"}, {std::nullopt, "", "ja"},
      {std::nullopt, "en", "en"},    {"ja", "en", "ja"},
      {"en", nullptr, "en"},         {"xx", "en", "xx"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RequestedLanguage(c.option, c.variable), c.expected)
        << c.option.value_or("-") << " / " << (c.variable ? c.variable : "(unset)");
  }
}

TEST(LanguageChoice, KnowsJapaneseAndEachCatalogueOfTheProgramFolder) {
  const LanguageLoad ja = LoadLanguage(RV_DIST_DIR, "ja");
  EXPECT_TRUE(ja.known);
  EXPECT_TRUE(ja.language.words.empty());
  const LanguageLoad en = LoadLanguage(RV_DIST_DIR, "en");
  ASSERT_TRUE(en.known) << en.error;
  EXPECT_EQ(en.error, "");
  EXPECT_EQ(en.language.words.Tr("試合終了！"), "Match over!");
  const std::vector<std::string> known = KnownLanguages(RV_DIST_DIR);
  ASSERT_FALSE(known.empty());
  EXPECT_EQ(known.front(), "ja");
  EXPECT_NE(std::find(known.begin(), known.end(), "en"), known.end());
  // Anything that is not a plain code never reaches the file system as a path.
  for (const char* code : {"xx", "", "../en", "en/../en", "e n", "en.mo", "english_is_longer"}) {
    const LanguageLoad load = LoadLanguage(RV_DIST_DIR, code);
    EXPECT_FALSE(load.known) << code;
    EXPECT_NE(load.error.find("unknown language"), std::string::npos) << code;
  }
}

TEST(LanguageChoice, ABrokenCatalogueIsKnownButSaysWhyAndKeepsJapanese) {
  TempFolder temp;
  const fs::path file = CatalogueFile(temp.path(), "de");
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << "not a catalogue";
  const LanguageLoad load = LoadLanguage(temp.path(), "de");
  EXPECT_TRUE(load.known);
  EXPECT_NE(load.error.find(file.string()), std::string::npos) << load.error;
  EXPECT_TRUE(load.language.words.empty());
  EXPECT_EQ(KnownLanguages(temp.path()), (std::vector<std::string>{"ja", "de"}));
}

long PeakResidentKb() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A file in a catalogue's place far larger than any catalogue is refused by its size before
// it is read, so that it costs no memory; the limit holds for a file whose size says nothing.
TEST(LanguageChoice, ACatalogueLargerThanAnyRealOneIsRefusedUnread) {
  struct Case {
    const char* what;
    uintmax_t size;                 // made sparse with truncate
    const char* link_to = nullptr;  // instead, a link to this file
    const char* reason;
  };
  const Case cases[] = {
      {"600 MB, sparse", uintmax_t{600} << 20, nullptr, "larger than any catalogue"},
      {"one byte over the limit", kMaxCatalogueBytes + 1, nullptr, "larger than any catalogue"},
      // Its size is 0; reading it whole would take hundreds of gigabytes.
      {"a file of /proc", 0, "/proc/self/pagemap", "larger than any catalogue"},
      {"the limit itself", kMaxCatalogueBytes, nullptr, "not a compiled message catalogue"},
  };
  for (const Case& c : cases) {
    TempFolder temp;
    const fs::path file = CatalogueFile(temp.path(), "de");
    fs::create_directories(file.parent_path());
    if (c.link_to != nullptr) {
      fs::create_symlink(c.link_to, file);
    } else {
      std::ofstream{file};
      fs::resize_file(file, c.size);
    }
    const long peak_before = PeakResidentKb();
    const LanguageLoad load = LoadLanguage(temp.path(), "de");
    EXPECT_LT(PeakResidentKb() - peak_before, 16 * 1024) << c.what;
    EXPECT_TRUE(load.known) << c.what;
    EXPECT_TRUE(load.language.words.empty()) << c.what;
    EXPECT_EQ(load.error.rfind(file.string() + ": ", 0), 0U) << c.what << ": " << load.error;
    EXPECT_NE(load.error.find(c.reason), std::string::npos) << c.what << ": " << load.error;
  }
}

}  // namespace
}  // namespace rv::test
