#include "game/gfx/picture_set.h"

#include <string>
#include <vector>

#include "game/gfx/bitmap_decoder.h"
#include "game/gfx/picture_rects.h"
#include "game/gfx/text.h"
#include "storage/stored_file.h"

namespace rv {

PictureSet::PictureSet() : PicMemory(640, 480) { PicMemory.text().font_px = kCompositionFacePx; }

Surface* PictureSet::ByNumber(int16_t number) {
  switch (number) {
    case 0:
      return &PicChip;
    case 1:
      return &Screen;
    case 2:
      return &PicTitle;
    case 3:
      return &PicLogo;
    case 4:
      return &Picmenu;
    case 5:
      return &PicBack;
    case 6:
      return &PicOther;
    case 7:
      return &PicCounter;
    case 8:
      return &PicWindow;
    case 9:
      return &PicCursor;
    default:
      return nullptr;
  }
}

const Surface* PictureSet::ByNumber(int16_t number) const {
  return const_cast<PictureSet*>(this)->ByNumber(number);
}

PictureLoader::PictureLoader(std::filesystem::path program_folder)
    : folder_(program_folder), png_(program_folder / "mpng.so") {}

PictureLoader::PictureLoader(std::filesystem::path program_folder,
                             std::filesystem::path module_path)
    : folder_(std::move(program_folder)), png_(std::move(module_path)) {}

LoadResult PictureLoader::Load(PictureSet& pictures, rects::Picture picture) {
  return LoadSurface(pictures, static_cast<int16_t>(picture), rects::FileOf(picture).name);
}

std::filesystem::path PictureLoader::PicturePath(std::string_view name) const {
  return folder_ / "Picture" / (std::string(name) + ".dat");
}

std::filesystem::path PictureLoader::PathFor(int16_t number, std::string_view name) const {
  if (number < 0 || number >= rects::kPictureCount) return PicturePath(name);
  return folder_ /
         PictureFilePath(rects::FileOf(static_cast<rects::Picture>(number)), name, language_);
}

LoadResult PictureLoader::LoadSurface(PictureSet& pictures, int16_t number, std::string_view name) {
  Surface* target = pictures.ByNumber(number);
  if (target == nullptr) return {};
  std::filesystem::path path = PathFor(number, name);
  if (rects::FileOf(static_cast<rects::Picture>(number)).png) {
    target->AssignPicture(png_.LoadPNG(path));
    return {};
  }
  // Through the stored-file opener: a FIFO in a picture's place is refused, never waited on.
  std::vector<uint8_t> bytes;
  FileFailure failure;
  const bool read = ReadStoredFile(path, bytes, &failure);
  Surface picture = ReadBmp(bytes.data(), bytes.size());
  if (picture.empty()) {
    // The surface keeps what it held; start-up ends with a message naming the file.
    if (read) failure = FileFailure{FileAction::kRead, path, 0, false, false, true};
    return {false, failure.English(), failure};
  }
  target->AssignPicture(std::move(picture));
  return {};
}

}  // namespace rv
