#pragma once
// The program folder a headless game runs in: a fresh folder under the system's temporary
// folder, private to this user, holding links to the pictures, sounds, catalogues and decoder
// module and a copy of the setting; the game makes its own ranking there.

#include <filesystem>
#include <optional>
#include <string>

namespace rv {

// A folder named "rv_match_" and six letters or digits, holding links to the assets of
// `assets_folder` (Picture, Wave, Music, locale, mpng.so) and a copy of its rvdat.cfg.
// Removed with the object, also when its set-up fails. Folders that killed runs left behind
// are removed when the next one is made, but only those provably made here: this user's, with
// that name, locked by no live run, and holding the mark file written at creation, which names
// the folder's own device and inode (a folder of that name made by hand, or a copy of ours,
// has no such mark). The folder `keep` is never one of them.
class TempProgramFolder {
 public:
  explicit TempProgramFolder(const std::filesystem::path& assets_folder,
                             const std::optional<std::filesystem::path>& keep = std::nullopt);
  ~TempProgramFolder();
  TempProgramFolder(const TempProgramFolder&) = delete;
  TempProgramFolder& operator=(const TempProgramFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  void LinkAssets(const std::filesystem::path& assets);
  void Remove();

  int lock_fd_ = -1;  // the folder's flock, held while it is in use
  std::filesystem::path path_;
};

// True for the names the folders above get: "rv_match_" and six letters or digits.
bool IsTempProgramFolderName(const std::string& name);

}  // namespace rv
