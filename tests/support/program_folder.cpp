#include "support/program_folder.h"

#include <fstream>
#include <string>

namespace rv::test {

namespace fs = std::filesystem;

void FillProgramFolder(const fs::path& folder, const fs::path& dist, ProgramFiles files) {
  const auto place = [&](const fs::path& from, const fs::path& to) {
    // A language's own pictures stand in a folder of their own (Picture/en/).
    const bool folder_of_files = fs::is_directory(from);
    if (files.copy) {
      fs::copy(from, to, fs::copy_options::recursive);
    } else if (folder_of_files) {
      fs::create_directory_symlink(from, to);
    } else {
      fs::create_symlink(from, to);
    }
  };
  for (const char* sub : {"Music", "Picture", "Wave"}) {
    if (!files.sounds && std::string(sub) != "Picture") continue;
    fs::create_directories(folder / sub);
    for (const auto& entry : fs::directory_iterator(dist / sub)) {
      place(entry.path(), folder / sub / entry.path().filename());
    }
  }
  place(dist / "mpng.so", folder / "mpng.so");
  // The catalogues of the languages other than Japanese, linked as a whole.
  if (fs::exists(dist / "locale")) fs::create_directory_symlink(dist / "locale", folder / "locale");
  if (files.config) std::ofstream(folder / "rvdat.cfg", std::ios::binary).write("\x01\x00", 2);
}

}  // namespace rv::test
