// rv_assets FOLDER [CONTACT_SHEET.png]
//   Writes the game's pictures, effects and music into FOLDER.
// rv_assets --languages FOLDER SHEET.png LANG...
//   Writes, for each LANG, the pictures that carry words into FOLDER/Picture/LANG/, their words
//   taken from FOLDER/locale/LANG/LC_MESSAGES/ravolin.mo, and a sheet of them beside the
//   Japanese ones.
// The output depends on nothing but this code, the catalogues and the installed fonts: two runs
// give the same bytes.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "lang/catalogue.h"
#include "pictures/image.h"
#include "pictures/pictures.h"
#include "sound/sound_set.h"

namespace {

rv::Catalogue ReadCatalogue(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string error;
  std::optional<rv::Catalogue> catalogue = rv::Catalogue::Parse(bytes, &error);
  if (!catalogue) throw std::runtime_error(path.string() + ": " + error);
  return std::move(*catalogue);
}

int WriteLanguages(const std::filesystem::path& folder, const std::string& sheet_path,
                   const std::vector<std::string>& languages) {
  // Lists keep the sets where the sheet's pointers find them.
  std::list<rv::Catalogue> catalogues;
  std::list<rv::assets::PictureSet> sets;
  std::vector<std::pair<std::string, const rv::assets::PictureSet*>> sheet;
  sheet.emplace_back("ja", &sets.emplace_back(rv::assets::BuildPictures()));
  for (const std::string& language : languages) {
    if (language == "ja") continue;  // the Japanese pictures are the program's own
    const rv::Catalogue& words = catalogues.emplace_back(
        ReadCatalogue(folder / "locale" / language / "LC_MESSAGES" / "ravolin.mo"));
    const rv::assets::PictureSet& set = sets.emplace_back(rv::assets::BuildPictures({&words}));
    if (!rv::assets::WriteLanguagePictures(set, folder, language)) {
      std::fprintf(stderr, "rv_assets: cannot write the %s pictures into %s\n", language.c_str(),
                   folder.string().c_str());
      return 1;
    }
    sheet.emplace_back(language, &set);
  }
  if (!rv::assets::WritePng(sheet_path, rv::assets::BuildLanguageSheet(sheet))) {
    std::fprintf(stderr, "rv_assets: cannot write %s\n", sheet_path.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool languages = argc >= 2 && std::string(argv[1]) == "--languages";
  if (languages ? argc < 4 : (argc < 2 || argc > 3)) {
    std::fprintf(stderr,
                 "usage: %s FOLDER [CONTACT_SHEET.png]\n"
                 "       %s --languages FOLDER SHEET.png LANG...\n",
                 argv[0], argv[0]);
    return 2;
  }
  try {
    if (languages)
      return WriteLanguages(argv[2], argv[3], std::vector<std::string>(argv + 4, argv + argc));
    const std::filesystem::path folder = argv[1];
    const rv::assets::PictureSet pictures = rv::assets::BuildPictures();
    if (!rv::assets::WritePictureFiles(pictures, folder)) {
      std::fprintf(stderr, "rv_assets: cannot write the pictures into %s\n",
                   folder.string().c_str());
      return 1;
    }
    if (argc == 3 && !rv::assets::WritePng(argv[2], rv::assets::BuildContactSheet(pictures))) {
      std::fprintf(stderr, "rv_assets: cannot write %s\n", argv[2]);
      return 1;
    }
    rv::assets::WriteSoundSet(folder);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rv_assets: %s\n", e.what());
    return 1;
  }
  return 0;
}
