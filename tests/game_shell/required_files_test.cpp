// The required-files check: only a regular file counts as a program file present. A FIFO in
// a wave's or a picture's place would hold the game in its open, with no message, for as long
// as nobody writes to it.

#include "game/shell/required_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/shell/startup.h"
#include "shell_harness.h"

namespace rv {
namespace {

namespace fs = std::filesystem;
using test::ShellRun;

enum class Stand { kRegular, kFifo, kFolder, kLinkToRegular, kLinkToFifo, kMissing };

void Place(const fs::path& file, Stand stand) {
  const fs::path spare = file.string() + ".spare";
  fs::remove_all(file);
  fs::remove_all(spare);
  switch (stand) {
    case Stand::kRegular:
      std::ofstream(file).put('x');
      break;
    case Stand::kFifo:
      ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
      break;
    case Stand::kFolder:
      fs::create_directory(file);
      break;
    case Stand::kLinkToRegular:
      std::ofstream(spare).put('x');
      fs::create_symlink(spare, file);
      break;
    case Stand::kLinkToFifo:
      ASSERT_EQ(::mkfifo(spare.c_str(), 0644), 0);
      fs::create_symlink(spare, file);
      break;
    case Stand::kMissing:
      break;
  }
}

TEST(RequiredFiles, OnlyARegularFileCountsAsPresent) {
  struct Case {
    const char* name;
    Stand stand;
    bool present;
  };
  const Case cases[] = {
      {"Wave/wave2.dat", Stand::kRegular, true},
      {"Wave/wave2.dat", Stand::kLinkToRegular, true},
      {"Wave/wave2.dat", Stand::kFifo, false},
      {"Wave/wave2.dat", Stand::kLinkToFifo, false},
      {"Picture/pic3.dat", Stand::kFifo, false},
      {"Music/ravolin.mp3", Stand::kFifo, false},
      {"mpng.so", Stand::kFifo, false},
      {"Picture/pic1.dat", Stand::kFolder, false},
      {"Picture/pic1.dat", Stand::kMissing, false},
      // The player's files are refused by name where they are read.
      {"rvdat.cfg", Stand::kFifo, true},
      {"rvdat.cfg", Stand::kFolder, false},
  };
  test::TempFolder temp;
  fs::create_directories(temp.path() / "Wave");
  fs::create_directories(temp.path() / "Picture");
  fs::create_directories(temp.path() / "Music");
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.name << " as " << int(c.stand));
    Place(temp.path() / c.name, c.stand);
    EXPECT_EQ(FilePresent(temp.path(), c.name), c.present);
  }
}

// The whole start: a FIFO as an effect or a picture ends it with the missing-file box at
// once, before the marker, the window or any sound.
TEST(RequiredFiles, AFifoAsAProgramFileEndsTheStartWithErrorTwo) {
  for (const char* name : {"Wave/wave2.dat", "Picture/pic1.dat", "Picture/pic3.dat"}) {
    SCOPED_TRACE(name);
    ShellRun run;
    Place(run.folder / name, Stand::kFifo);
    ::alarm(20);
    const int status = run.Run();
    ::alarm(0);
    EXPECT_EQ(status, kStartFailedStatus);
    ASSERT_EQ(run.platform.Messages().size(), 1u);
    EXPECT_EQ(run.platform.Messages()[0].caption, "起動エラー２");
    EXPECT_FALSE(fs::exists(run.folder / kRunningMarker));
    EXPECT_TRUE(run.platform.WindowCaption().empty());
    EXPECT_TRUE(run.AudioTexts().empty());
  }
}

// A language other than Japanese needs its own copy of each picture with words, and a
// missing one is named like any other missing file; Japanese asks for exactly what it did.
TEST(RequiredFiles, AnotherLanguageAlsoNeedsItsPicturesWithWords) {
  const std::vector<std::string> japanese = RequiredFiles("ja");
  for (const std::string& name : japanese) EXPECT_EQ(name.find("Picture/ja"), std::string::npos);
  const std::vector<std::string> own = {"Picture/en/pic2.dat", "Picture/en/pic5.dat",
                                        "Picture/en/pic7.dat", "Picture/en/pic8.dat"};
  std::vector<std::string> english = RequiredFiles("en");
  ASSERT_EQ(english.size(), japanese.size() + own.size());
  for (const std::string& name : japanese) {
    EXPECT_NE(std::find(english.begin(), english.end(), name), english.end()) << name;
  }
  for (const std::string& name : own) {
    EXPECT_NE(std::find(english.begin(), english.end(), name), english.end()) << name;
  }

  test::TempFolder temp;
  for (const std::string& name : english) {
    fs::create_directories((temp.path() / name).parent_path());
    Place(temp.path() / name, Stand::kRegular);
  }
  EXPECT_EQ(FirstMissingFile(temp.path(), "en"), "");
  for (const std::string& name : own) {
    SCOPED_TRACE(name);
    Place(temp.path() / name, Stand::kMissing);
    EXPECT_EQ(FirstMissingFile(temp.path(), "en"), name);
    EXPECT_EQ(FirstMissingFile(temp.path(), "ja"), "");  // Japanese does not look there
    Place(temp.path() / name, Stand::kRegular);
  }
}

}  // namespace
}  // namespace rv
