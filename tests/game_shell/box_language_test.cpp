// The boxes a refused or failed start shows speak Japanese only: the file's path is shown as
// it is, and every word around it comes from the Japanese texts, whatever the system said.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "game/shell/startup.h"
#include "shell_harness.h"
#include "support/japanese_text.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;

struct BrokenStart {
  const char* name;
  std::function<void(const fs::path& folder)> spoil;
};

void MakeFifo(const fs::path& file) {
  fs::remove(file);
  ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0) << file;
}

// Latin words a Japanese box may carry: the program's name, and names the player must type.
const std::set<std::string> kAllowedLatin = {"Ravolin", "FIFO",    "IPA",
                                             "fonts",   "ipafont", "gothic"};

// The Latin words of `text` once every mention of `folder` (and what follows it up to the
// end of its path) is taken out.
std::vector<std::string> ForeignWords(std::string text, const fs::path& folder) {
  const std::string prefix = folder.string();
  for (std::size_t at; (at = text.find(prefix)) != std::string::npos;) {
    std::size_t end = at;
    while (end < text.size() && text[end] != '\n' && text[end] != ' ') ++end;
    text.erase(at, end - at);
  }
  std::vector<std::string> words;
  const std::regex latin("[A-Za-z]{2,}");
  for (std::sregex_iterator it(text.begin(), text.end(), latin), last; it != last; ++it) {
    if (kAllowedLatin.count(it->str()) == 0) words.push_back(it->str());
  }
  return words;
}

// `language`: whose menu picture is broken (another language's lie in Picture/<language>/).
std::vector<BrokenStart> BrokenStarts(const std::string& language = "ja") {
  return {
      {"a FIFO as the game's lock", [](const fs::path& f) { MakeFifo(f / "rv_031.lock"); }},
      {"a FIFO as the dialog's lock", [](const fs::path& f) { MakeFifo(f / "rv_config.lock"); }},
      {"a folder as the marker", [](const fs::path& f) { fs::create_directory(f / "rvdat.cck"); }},
      {"a link as the marker",
       [](const fs::path& f) { fs::create_symlink(f / "elsewhere", f / "rvdat.cck"); }},
      {"a FIFO as the ranking", [](const fs::path& f) { MakeFifo(f / "rvdat.dat"); }},
      {"a folder as the ranking", [](const fs::path& f) { fs::create_directory(f / "rvdat.dat"); }},
      {"a broken picture",
       [language](const fs::path& f) {
         fs::path pictures = f / "Picture";
         if (language != "ja") {
           // A link to the build's folder: made a folder of our own before anything changes.
           pictures /= language;
           const fs::path build = fs::read_symlink(pictures);
           fs::remove(pictures);
           fs::copy(build, pictures, fs::copy_options::recursive);
         }
         fs::remove(pictures / "pic5.dat");  // a link into the build: replaced, not written
         WriteFile(pictures / "pic5.dat", {'B', 'M', 0, 1, 2, 3});
       }},
  };
}

TEST(BoxLanguage, EveryRefusedStartSpeaksJapaneseAroundThePath) {
  for (const BrokenStart& c : BrokenStarts()) {
    SCOPED_TRACE(c.name);
    ShellRun run;
    c.spoil(run.folder);
    EXPECT_EQ(run.Run(), kStartFailedStatus);
    ASSERT_EQ(run.platform.Messages().size(), 1u);
    const std::string& text = run.platform.Messages()[0].text;
    EXPECT_NE(text.find(run.folder.string()), std::string::npos) << "no path in: " << text;
    const std::vector<std::string> foreign = ForeignWords(text, run.folder);
    EXPECT_TRUE(foreign.empty()) << "\"" << (foreign.empty() ? "" : foreign[0])
                                 << "\" in the box: " << text;
  }
}

// In English every word of the box and its caption is English, the path included in the box.
TEST(BoxLanguage, InEnglishEveryRefusedStartSaysNoJapanese) {
  for (const BrokenStart& c : BrokenStarts("en")) {
    SCOPED_TRACE(c.name);
    ShellRun run;
    run.language = "en";
    c.spoil(run.folder);
    EXPECT_EQ(run.Run(), kStartFailedStatus);
    ASSERT_EQ(run.platform.Messages().size(), 1u);
    const auto& box = run.platform.Messages()[0];
    EXPECT_NE(box.text.find(run.folder.string()), std::string::npos) << "no path in: " << box.text;
    EXPECT_EQ(FirstJapaneseCodePoint(box.text), 0u) << box.text;
    EXPECT_EQ(FirstJapaneseCodePoint(box.caption), 0u) << box.caption;
  }
}

TEST(BoxLanguage, TheCheckFindsEnglishOutsideThePath) {
  EXPECT_EQ(ForeignWords("開けません。\n/tmp/x/rvdat.cck: not a regular file", "/tmp/x"),
            (std::vector<std::string>{"not", "regular", "file"}));
  EXPECT_TRUE(ForeignWords("起動エラー\n/tmp/x/rv_031.lock\nロックできません。", "/tmp/x").empty());
}

}  // namespace
}  // namespace rv::test
