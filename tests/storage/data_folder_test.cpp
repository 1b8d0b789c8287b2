// The choice of the player's data folder and what its first use puts there.

#include "storage/data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <string>

#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

using test::NamesIn;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

const std::vector<uint8_t> kNormal = {0x01, 0x00};

unsigned ModeOf(const fs::path& path) {
  return static_cast<unsigned>(fs::status(path).permissions()) & 07777;
}

// A program folder and a home under one temporary root. Paths in the tables are written
// relative to the root and made absolute; "" stands for unset, and a leading "rel:" gives a
// relative path as it is.
struct Scene {
  TempFolder root;
  fs::path program;
  Scene() : program(root / "prog") {
    // The folders a test makes stand for a player's, made under the usual umask: a folder
    // its group may write is refused as a data folder.
    ::umask(022);
    fs::create_directory(program);
  }
  std::string Path(const std::string& where) const {
    if (where.empty()) return {};
    if (where.rfind("rel:", 0) == 0) return where.substr(4);
    return (root.path() / where).string();
  }
};

TEST(DataFolderTest, ChoosesTheProgramFolderOrThePerUserFolder) {
  const struct {
    const char* what;
    bool writable;
    std::string xdg;
    std::string home;
    std::string expected;  // relative to the root; "" expects a failure
    bool per_user;
  } cases[] = {
      {"portable, nothing set", true, "", "", "prog", false},
      {"portable, XDG set", true, "xdg", "home", "prog", false},
      {"installed, XDG set", false, "xdg", "home", "xdg/ravolin", true},
      {"installed, XDG unset", false, "", "home", "home/.local/share/ravolin", true},
      {"installed, XDG relative", false, "rel:xdg", "home", "home/.local/share/ravolin", true},
      {"installed, XDG deep and missing", false, "a/b/c", "home", "a/b/c/ravolin", true},
      {"installed, nothing known", false, "", "", "", true},
      {"installed, home relative", false, "", "rel:home", "", true},
      {"installed, XDG under a file", false, "file/xdg", "home", "", true},
      {"installed, home under a file", false, "", "file", "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    WriteBytes(scene.root / "file", {0x00});
    const DataFolderInputs inputs{scene.program, c.writable, scene.Path(c.xdg), scene.Path(c.home)};
    const DataFolder chosen = ChooseDataFolder(inputs);
    EXPECT_EQ(chosen.per_user, c.per_user);
    if (c.expected.empty()) {
      EXPECT_FALSE(chosen.ok());
      EXPECT_FALSE(chosen.error.empty());
      continue;
    }
    ASSERT_TRUE(chosen.ok()) << chosen.error;
    EXPECT_EQ(chosen.path, scene.root / c.expected);
    EXPECT_TRUE(fs::is_directory(chosen.path));
    // The program folder is never written by the choice.
    EXPECT_TRUE(NamesIn(scene.program).empty());
  }
}

TEST(DataFolderTest, APerUserFolderAndItsMissingParentsAreMadeForTheUserAlone) {
  Scene scene;
  const mode_t saved_umask = ::umask(077 & ~070);  // a umask that would leave group bits
  const DataFolder chosen =
      ChooseDataFolder({scene.program, false, "", (scene.root / "home").string()});
  ::umask(saved_umask);
  ASSERT_TRUE(chosen.ok()) << chosen.error;
  for (const fs::path& made : {scene.root / "home/.local", scene.root / "home/.local/share",
                               scene.root / "home/.local/share/ravolin"}) {
    EXPECT_EQ(ModeOf(made), 0700u) << made;
  }
  // A folder the user made already keeps the mode the user gave it.
  Scene second;
  fs::create_directories(second.root / "xdg/ravolin");
  ::chmod((second.root / "xdg/ravolin").c_str(), 0750);
  ASSERT_TRUE(ChooseDataFolder({second.program, false, (second.root / "xdg").string(), ""}).ok());
  EXPECT_EQ(ModeOf(second.root / "xdg/ravolin"), 0750u);
}

// The setting comes only from the one the install ships: with none, nothing is invented, and
// the game then refuses to start as it does in a program folder without one.
TEST(DataFolderTest, TheSettingIsSeededOnlyWhenMissing) {
  const struct {
    const char* what;
    std::vector<uint8_t> in_program;  // empty: no file there
    std::vector<uint8_t> in_data;     // empty: no file there
    std::vector<uint8_t> expected;    // empty: no file made
  } cases[] = {
      {"nothing shipped, nothing made", {}, {}, {}},
      {"the shipped setting is copied", kNormal, {}, kNormal},
      {"a setting beside the programs is carried over", {0x03, 0x00}, {}, {0x03, 0x00}},
      {"a longer file is carried over whole", {0x02, 0x00, 0xFF}, {}, {0x02, 0x00, 0xFF}},
      {"the player's own setting stays", {}, {0x00, 0x00}, {0x00, 0x00}},
      {"the player's own setting wins", {0x03, 0x00}, {0x02, 0x00}, {0x02, 0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    const fs::path data = scene.root / "xdg/ravolin";
    if (!c.in_program.empty()) WriteBytes(scene.program / "rvdat.cfg", c.in_program);
    if (!c.in_data.empty()) {
      fs::create_directories(data);
      WriteBytes(data / "rvdat.cfg", c.in_data);
    }
    const auto before = NamesIn(scene.program);
    ASSERT_TRUE(ChooseDataFolder({scene.program, false, (scene.root / "xdg").string(), ""}).ok());
    if (c.expected.empty()) {
      EXPECT_TRUE(NamesIn(data).empty()) << "a setting was invented";
      continue;
    }
    EXPECT_EQ(ReadBytes(data / "rvdat.cfg"), c.expected);
    EXPECT_EQ(NamesIn(data), std::set<std::string>{"rvdat.cfg"}) << "a temporary file was left";
    EXPECT_EQ(NamesIn(scene.program), before);
    if (!c.in_program.empty()) {
      EXPECT_EQ(ReadBytes(scene.program / "rvdat.cfg"), c.in_program);
    }
  }
}

TEST(DataFolderTest, ARankingBesideTheProgramsIsCopiedNeverMovedNorOverwritten) {
  const std::vector<uint8_t> old_ranking(2160, 0x11);
  const std::vector<uint8_t> own_ranking(2160, 0x22);
  const struct {
    const char* what;
    bool in_program;
    bool in_data;
    std::vector<uint8_t> expected;  // empty: no ranking in the data folder
  } cases[] = {
      {"nothing stored anywhere", false, false, {}},
      {"the old ranking comes along", true, false, old_ranking},
      {"the player's ranking stays", false, true, own_ranking},
      {"the player's ranking is not replaced by the old one", true, true, own_ranking},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    const fs::path data = scene.root / "xdg/ravolin";
    WriteBytes(scene.program / "rvdat.cfg", kNormal);  // as the install ships it
    if (c.in_program) WriteBytes(scene.program / "rvdat.dat", old_ranking);
    if (c.in_data) {
      fs::create_directories(data);
      WriteBytes(data / "rvdat.dat", own_ranking);
    }
    ASSERT_TRUE(ChooseDataFolder({scene.program, false, (scene.root / "xdg").string(), ""}).ok());
    if (c.expected.empty()) {
      EXPECT_FALSE(fs::exists(data / "rvdat.dat"));
    } else {
      EXPECT_EQ(ReadBytes(data / "rvdat.dat"), c.expected);
    }
    if (c.in_program) {
      EXPECT_EQ(ReadBytes(scene.program / "rvdat.dat"), old_ranking);
    }
    // Every later start leaves the data as the first one made it.
    const auto copied = ReadBytes(data / "rvdat.dat");
    WriteBytes(data / "rvdat.cfg", {0x03, 0x00});
    ASSERT_TRUE(ChooseDataFolder({scene.program, false, (scene.root / "xdg").string(), ""}).ok());
    EXPECT_EQ(ReadBytes(data / "rvdat.dat"), copied);
    EXPECT_EQ(ReadBytes(data / "rvdat.cfg"), (std::vector<uint8_t>{0x03, 0x00}));
  }
}

TEST(DataFolderTest, WithoutASettingToCopyNotEvenTheRankingIsCopied) {
  Scene scene;
  WriteBytes(scene.program / "rvdat.dat", std::vector<uint8_t>(2160, 0x11));
  const DataFolder chosen =
      ChooseDataFolder({scene.program, false, (scene.root / "xdg").string(), ""});
  ASSERT_TRUE(chosen.ok()) << chosen.error;
  EXPECT_TRUE(NamesIn(chosen.path).empty());
}

// A ranking is 2160 bytes and whatever a player kept after them; a file of more than a
// megabyte is no ranking and is refused before it is read, instead of being read whole.
TEST(DataFolderTest, AFileLargerThanAnyRealOneIsNeverCopied) {
  const struct {
    const char* name;
    std::uintmax_t size;
    bool copied;
  } cases[] = {
      {"rvdat.dat", 2160, true},
      {"rvdat.dat", kFirstUseCopyLimit, true},
      {"rvdat.dat", kFirstUseCopyLimit + 1, false},
      {"rvdat.dat", 100u * 1024 * 1024, false},
      {"rvdat.cfg", kFirstUseCopyLimit + 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(c.size) + " bytes");
    Scene scene;
    if (std::string(c.name) != "rvdat.cfg") WriteBytes(scene.program / "rvdat.cfg", kNormal);
    // Sparse: the size costs no disk. The last byte tells a whole copy from a cut one.
    const fs::path source = scene.program / c.name;
    WriteBytes(source, {});
    fs::resize_file(source, c.size - 1);
    std::ofstream(source, std::ios::binary | std::ios::app).put('\x5A');
    const DataFolder chosen =
        ChooseDataFolder({scene.program, false, (scene.root / "xdg").string(), ""});
    const fs::path copy = scene.root / "xdg/ravolin" / c.name;
    if (c.copied) {
      ASSERT_TRUE(chosen.ok()) << chosen.error;
      ASSERT_EQ(fs::file_size(copy), c.size);
      std::ifstream in(copy, std::ios::binary);
      in.seekg(static_cast<std::streamoff>(c.size - 1));
      EXPECT_EQ(in.get(), 0x5A);
      continue;
    }
    EXPECT_FALSE(chosen.ok());
    EXPECT_EQ(chosen.fault, DataFolderFault::kTooLarge);
    EXPECT_EQ(chosen.culprit, source);
    const std::string box = DataFolderMessage(chosen, Catalogue());
    EXPECT_NE(box.find(source.string()), std::string::npos) << box;
    EXPECT_NE(box.find("1MBを超えている"), std::string::npos) << box;
    EXPECT_FALSE(fs::exists(fs::symlink_status(copy)));
    for (const std::string& name : NamesIn(scene.root / "xdg/ravolin")) {
      EXPECT_EQ(name.find(c.name), std::string::npos) << "a partial copy was left: " << name;
    }
  }
}

// Neither variable gives a folder: the player learns which is missing or what is wrong with it.
TEST(DataFolderTest, AMissingOrRelativeHomeIsNamedAsSuch) {
  const struct {
    const char* what;
    std::string xdg;
    std::string home;
    DataFolderFault fault;
    const char* error;  // in the English line
    const char* box;    // in the player's box
  } cases[] = {
      {"both unset", "", "", DataFolderFault::kNoHome, "HOME is not set",
       "環境変数HOMEが設定されていません。"},
      {"relative home", "", "games/me", DataFolderFault::kHomeNotAbsolute,
       "HOME is not an absolute path: \"games/me\"", "games/me\n環境変数HOMEが絶対パス"},
      {"both relative", "data", "me", DataFolderFault::kHomeNotAbsolute,
       "XDG_DATA_HOME is not an absolute path: \"data\"", "\nme\n環境変数HOMEが絶対パス"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    const DataFolder chosen = ChooseDataFolder({scene.program, false, c.xdg, c.home});
    EXPECT_FALSE(chosen.ok());
    EXPECT_EQ(chosen.fault, c.fault);
    EXPECT_NE(chosen.error.find(c.error), std::string::npos) << chosen.error;
    const std::string box = DataFolderMessage(chosen, Catalogue());
    EXPECT_NE(box.find(c.box), std::string::npos) << box;
    EXPECT_EQ(box.rfind("Ravolinのデータフォルダを決められません！", 0), 0u) << box;
  }
}

TEST(DataFolderTest, AFolderInTheWayOfTheSettingFailsTheChoice) {
  Scene scene;
  fs::create_directories(scene.root / "xdg/ravolin/rvdat.cfg");
  const DataFolder chosen =
      ChooseDataFolder({scene.program, false, (scene.root / "xdg").string(), ""});
  EXPECT_FALSE(chosen.ok());
  EXPECT_NE(chosen.error.find("rvdat.cfg"), std::string::npos) << chosen.error;
}

TEST(DataFolderTest, AProgramFolderIsWritableUnlessAnInstallMarkedIt) {
  Scene scene;
  EXPECT_TRUE(ProgramFolderWritable(scene.program));
  WriteBytes(scene.program / kInstalledMarkFile, {});
  EXPECT_FALSE(ProgramFolderWritable(scene.program));
  EXPECT_FALSE(ProgramFolderWritable(scene.root / "missing"));
  if (::geteuid() == 0) return;  // root writes into any folder
  Scene read_only;
  ::chmod(read_only.program.c_str(), 0555);
  EXPECT_FALSE(ProgramFolderWritable(read_only.program));
  ::chmod(read_only.program.c_str(), 0755);
}

TEST(DataFolderTest, ResolveReadsTheEnvironment) {
  Scene scene;
  WriteBytes(scene.program / kInstalledMarkFile, {});
  const std::string xdg = (scene.root / "xdg").string();
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string saved_value = saved != nullptr ? saved : "";
  ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  const DataFolderInputs inputs = ReadDataFolderInputs(scene.program);
  const DataFolder chosen = ResolveDataFolder(scene.program);
  if (saved != nullptr) {
    ::setenv("XDG_DATA_HOME", saved_value.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
  EXPECT_FALSE(inputs.program_folder_writable);
  EXPECT_EQ(inputs.xdg_data_home, xdg);
  EXPECT_FALSE(inputs.home.empty());
  ASSERT_TRUE(chosen.ok()) << chosen.error;
  EXPECT_EQ(chosen.path, scene.root / "xdg/ravolin");
}

TEST(DataFolderTest, ThePlayersFilesAreTheDataFilesAndTheLocks) {
  for (const char* name :
       {"rvdat.dat", "rvdat.cfg", "rvdat.cck", "rv_031.lock", "rv_config.lock"}) {
    EXPECT_TRUE(IsPlayerDataFile(name)) << name;
  }
  for (const char* name : {"mpng.so", "Picture/pic1.dat", "Music/ravolin.mp3", "rvdat", "",
                           "rvdat.cfg.tmp", "Wave/rvdat.dat"}) {
    EXPECT_FALSE(IsPlayerDataFile(name)) << name;
  }
}

}  // namespace
}  // namespace rv
