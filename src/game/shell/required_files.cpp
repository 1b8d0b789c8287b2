#include "game/shell/required_files.h"

#include <system_error>

#include "game/gfx/picture_path.h"
#include "game/gfx/picture_rects.h"
#include "storage/data_folder.h"
#include "storage/player_files.h"

namespace rv {

std::vector<std::string> RequiredFiles(std::string_view language) {
  std::vector<std::string> files = {"Music/ravolin.mp3", "Music/decision.mp3"};
  for (const rects::PictureFile& picture : rects::kPictureFiles) {
    if (picture.required) files.push_back(PictureFilePath(picture, kPictureBaseLanguage));
  }
  if (language != kPictureBaseLanguage) {
    for (const rects::PictureFile& picture : rects::kPictureFiles) {
      if (picture.required && picture.words) files.push_back(PictureFilePath(picture, language));
    }
  }
  for (int i = 1; i <= 4; ++i) files.push_back("Wave/wave" + std::to_string(i) + ".dat");
  files.push_back("mpng.so");
  files.push_back(kConfigFile);
  return files;
}

bool FilePresent(const std::filesystem::path& folder, const std::string& name) {
  std::error_code ec;
  const auto status = std::filesystem::status(folder / name, ec);
  if (ec || !std::filesystem::exists(status) || std::filesystem::is_directory(status)) {
    return false;
  }
  // The player's own files keep their refusal by name (a FIFO as rvdat.cfg is named in the
  // box that ends the start); anything else must be a regular file to count.
  return IsPlayerDataFile(name) || std::filesystem::is_regular_file(status);
}

std::string FirstMissingFile(const std::filesystem::path& folder, std::string_view language) {
  for (const std::string& name : RequiredFiles(language)) {
    if (!FilePresent(folder, name)) return name;
  }
  return {};
}

}  // namespace rv
