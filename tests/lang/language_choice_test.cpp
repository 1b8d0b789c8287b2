// Which language is spoken: the option over the variable over Japanese, and a language known
// only when its catalogue lies in the program folder.

#include "config/language_choice.h"

#include <gtest/gtest.h>

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
  EXPECT_TRUE(ja.words.empty());
  const LanguageLoad en = LoadLanguage(RV_DIST_DIR, "en");
  ASSERT_TRUE(en.known) << en.error;
  EXPECT_EQ(en.error, "");
  EXPECT_EQ(en.words.Tr("試合終了！"), "Match over!");
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
  EXPECT_TRUE(load.words.empty());
  EXPECT_EQ(KnownLanguages(temp.path()), (std::vector<std::string>{"ja", "de"}));
}

}  // namespace
}  // namespace rv::test
