#pragma once
// A fresh folder per test, removed with everything in it when the object goes.

#include <filesystem>
#include <string>

namespace rv::test {

// Where the folder is made.
enum class TempPlace {
  kSystem,  // the system's temporary folder (TMPDIR, else /tmp)
  kMemory,  // /dev/shm when the machine has it and TMPDIR is unset: for thousands of files
  kTmp,     // /tmp itself, whatever TMPDIR says: for checks of owners, modes and locks
};

class TempFolder {
 public:
  // The folder is named "rv_<name>_XXXXXX". A folder that cannot be made throws, so a test
  // never goes on to write beside the working folder.
  explicit TempFolder(const std::string& name = "test", TempPlace place = TempPlace::kSystem);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace rv::test
