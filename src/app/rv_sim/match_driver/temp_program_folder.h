#pragma once
// The program folder a headless game runs in: a fresh folder under the system's temporary
// folder, private to this user, holding links to the pictures, sounds and decoder module and
// its own rvdat.dat.

#include <filesystem>
#include <optional>
#include <string>

namespace rv::sim {

// A folder named "rv_match_" and six letters or digits, holding links to the assets of
// `assets_folder` (Picture, Wave, Music, mpng.so) and, when given, a copy of a ranking file.
// Removed with the object, also when its set-up fails. Folders that killed runs left behind
// are removed when the next one is made, but only those provably made here: this user's, with
// that name, locked by no live run, and holding the mark file written at creation, which names
// the folder's own device and inode (a folder of that name made by hand, or a copy of ours,
// has no such mark). The folder of `ranking_file` is never one of them.
class TempProgramFolder {
 public:
  TempProgramFolder(const std::filesystem::path& assets_folder,
                    const std::optional<std::filesystem::path>& ranking_file);
  ~TempProgramFolder();
  TempProgramFolder(const TempProgramFolder&) = delete;
  TempProgramFolder& operator=(const TempProgramFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  void Fill(const std::filesystem::path& assets,
            const std::optional<std::filesystem::path>& ranking_file);
  void Remove();

  int lock_fd_ = -1;  // the folder's flock, held while it is in use
  std::filesystem::path path_;
};

// True for the names the folders above get: "rv_match_" and six letters or digits.
bool IsTempProgramFolderName(const std::string& name);

}  // namespace rv::sim
