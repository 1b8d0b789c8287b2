#pragma once
// The picture surfaces of the game and the loading of the picture files into them.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "game/gfx/picture_path.h"
#include "game/gfx/picture_rects.h"
#include "game/gfx/png_module.h"
#include "game/gfx/surface.h"
#include "storage/file_failure.h"

namespace rv {

// The eleven off-screen surfaces. A surface takes the size of the picture assigned to it;
// PicMemory, the composition buffer, is 640 x 480 from the start and prints at 21 px.
struct PictureSet {
  PictureSet();

  Surface PicChip;     // 0: block chips (PNG)
  Surface Screen;      // 1: the match background
  Surface PicTitle;    // 2: title image (PNG)
  Surface PicLogo;     // 3: logo (PNG)
  Surface Picmenu;     // 4: main-menu strip
  Surface PicBack;     // 5: plain background
  Surface PicOther;    // 6: selection and ranking pieces
  Surface PicCounter;  // 7: round title pieces (PNG)
  Surface PicWindow;   // 8: window skin
  Surface PicCursor;   // 9: cursor images
  Surface PicMemory;   // composition buffer, no file

  // The surface of a LoadSurface number, or nullptr outside 0..9.
  Surface* ByNumber(int16_t number);
  const Surface* ByNumber(int16_t number) const;
};

// What LoadSurface reports. Only the general loader fails loudly: a PNG that cannot be
// decoded leaves its surface empty and counts as done.
struct LoadResult {
  bool ok = true;
  std::string error;    // names the file when !ok, in English
  FileFailure failure;  // the same, to be said in the player's language
};

class PictureLoader {
 public:
  // program_folder holds "Picture/" and the decoder module mpng.so.
  explicit PictureLoader(std::filesystem::path program_folder);
  // For tests: a decoder module other than the one in the program folder.
  PictureLoader(std::filesystem::path program_folder, std::filesystem::path module_path);

  // Fills surface `number` from program folder / "Picture" / (name + ".dat"), through LoadPNG
  // or the BMP loader as the picture table says for that surface (0, 2, 3 and 7 are PNG);
  // other numbers do nothing. The new picture replaces whatever the surface held.
  LoadResult LoadSurface(PictureSet& pictures, int16_t number, std::string_view name);
  // LoadSurface of `picture` from its own file in the picture table.
  LoadResult Load(PictureSet& pictures, rects::Picture picture);

  // Pictures that carry words come from "Picture/<language>/" from now on; for "ja" (the
  // default) every picture stays in "Picture/".
  void UseLanguage(std::string language) { language_ = std::move(language); }
  const std::string& language() const { return language_; }

  // The Japanese picture file `name`.
  std::filesystem::path PicturePath(std::string_view name) const;
  // The file LoadSurface reads for surface `number`: the language's own when the picture
  // table says the surface carries words.
  std::filesystem::path PathFor(int16_t number, std::string_view name) const;
  PngModule& png() { return png_; }

 private:
  std::filesystem::path folder_;
  std::string language_{kPictureBaseLanguage};
  PngModule png_;
};

}  // namespace rv
