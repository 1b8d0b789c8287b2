// The start-up failures of our own (a folder or file we cannot use, no Japanese face) are
// boxes under the program's name; "起動エラー" stays the dialog's refusal.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "game/shell/startup.h"
#include "shell_harness.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;

// fontconfig reads FONTCONFIG_FILE each time a configuration is loaded: pointed at one
// without font folders, it finds no face at all.
class NoFonts {
 public:
  explicit NoFonts(const fs::path& folder) {
    if (const char* old = std::getenv("FONTCONFIG_FILE")) old_ = old;
    const fs::path conf = folder / "fonts.conf";
    std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>"
                        << (folder / "cache").string() << "</cachedir></fontconfig>\n";
    ::setenv("FONTCONFIG_FILE", conf.c_str(), 1);
  }
  ~NoFonts() {
    if (old_) {
      ::setenv("FONTCONFIG_FILE", old_->c_str(), 1);
    } else {
      ::unsetenv("FONTCONFIG_FILE");
    }
  }
  NoFonts(const NoFonts&) = delete;
  NoFonts& operator=(const NoFonts&) = delete;

 private:
  std::optional<std::string> old_;
};

struct OwnFailure {
  const char* name;
  const char* text_part;  // what the box names
  std::function<void(ShellRun&)> spoil;
  bool needs_non_root = false;
};

TEST(ShellOwnStartFailures, CarryTheProgramsNameAsCaptionAndTheWarningIcon) {
  const OwnFailure failures[] = {
      {"marker cannot be made", "rvdat.cck",
       [](ShellRun& run) { fs::create_directory(run.folder / "rvdat.cck"); }},
      {"folder cannot be written", "書き込めません",
       [](ShellRun& run) {
         fs::permissions(run.folder, fs::perms::owner_write | fs::perms::group_write,
                         fs::perm_options::remove);
       },
       true},
      {"torn picture", "pic6",
       [](ShellRun& run) {
         fs::remove(run.folder / "Picture/pic6.dat");
         WriteFile(run.folder / "Picture/pic6.dat", {'B', 'M', 0x10, 0x00});
       }},
      {"ranking file cannot be read", "rvdat.dat",
       [](ShellRun& run) { fs::create_directory(run.folder / "rvdat.dat"); }},
  };
  for (const OwnFailure& f : failures) {
    if (f.needs_non_root && ::geteuid() == 0) continue;  // root writes into any folder
    ShellRun run;
    f.spoil(run);
    const int status = run.Run();
    fs::permissions(run.folder, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(status, kStartFailedStatus) << f.name;
    ASSERT_EQ(run.platform.Messages().size(), 1u) << f.name;
    EXPECT_EQ(run.platform.Messages()[0].caption, "Ravolin") << f.name;
    EXPECT_EQ(run.platform.Messages()[0].icon, MessageIcon::kWarning) << f.name;
    EXPECT_NE(run.platform.Messages()[0].text.find(f.text_part), std::string::npos) << f.name;
  }
}

TEST(ShellOwnStartFailures, NoJapaneseFaceIsABoxUnderTheProgramsName) {
  TempFolder font_folder;
  ShellRun run;
  int status = -1;
  {
    NoFonts no_fonts(font_folder.path());
    status = run.Run();
  }
  EXPECT_EQ(status, kStartFailedStatus);
  ASSERT_EQ(run.platform.Messages().size(), 1u);
  EXPECT_EQ(run.platform.Messages()[0].caption, "Ravolin");
  EXPECT_NE(run.platform.Messages()[0].text.find("フォント"), std::string::npos);
  EXPECT_FALSE(fs::exists(run.folder / "rvdat.cck"));
  EXPECT_FALSE(run.platform.WindowOpen());
}

}  // namespace
}  // namespace rv::test
