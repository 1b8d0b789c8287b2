// rv_assets FOLDER [CONTACT_SHEET.png]
// Writes the game's pictures, effects and music into FOLDER. The output depends on nothing but this
// code and the installed fonts: two runs give the same bytes.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "pictures/image.h"
#include "pictures/pictures.h"
#include "sound/sound_set.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s FOLDER [CONTACT_SHEET.png]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  try {
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
